#include "link/ReplyParser.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestReplyParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One reply a row of race-replies.tsv.
    void replies_data() { addTableRows(QFINDTESTDATA("race-replies.tsv"), 4); }

    void replies()
    {
        QFETCH(QStringList, row);
        const QString reply = row[1];
        const int count = row[2].toInt();
        QList<int> fields;
        QStringList read; // the numbers as read back, so that no typo passes as 0
        for (const QString& f : row[3].split(u' ', Qt::SkipEmptyParts)) {
            fields.append(f.toInt());
            read.append(QString::number(fields.last()));
        }
        QCOMPARE(QString::number(count) + u'/' + read.join(u' '), row[2] + u'/' + row[3]);
        RaceReply a;
        a.fill(77); // every element is overwritten
        QCOMPARE(parseReply(reply, kReplyValidChars, kReplyDelimiter,
                            std::span<qint32>(a).subspan(1), 1),
                 count);
        QCOMPARE(a[0], 77);
        for (int i = 1; i <= 18; ++i)
            QCOMPARE(a[i], i <= fields.size() ? fields[i - 1] : 0);

        // A diagnostics reply keeps its first two fields.
        DiagReply diag{9, 9, 9};
        const int n = parseReply(reply, kReplyValidChars, kReplyDelimiter,
                                 std::span<qint32>(diag).subspan(1), 1);
        QCOMPARE(n, std::min(count, 2));
        QCOMPARE(diag[2], fields.size() >= 2 ? fields[1] : 0);
    }
};

QTEST_GUILESS_MAIN(TestReplyParser)
#include "tst_reply_parser.moc"
