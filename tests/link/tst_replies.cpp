// The unit's replies as read: the race reply's fields, and the lamps a diagnostics reply lights.
#include "link/DiagLamps.h"
#include "link/ReplyParser.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestReplies : public QObject
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

    // One reply a row of diag-lamp-rows.tsv.
    void eachBitLightsItsLamp_data() { addTableRows(QFINDTESTDATA("diag-lamp-rows.tsv"), 5); }

    void eachBitLightsItsLamp()
    {
        QFETCH(QStringList, row);
        const int n = row[1].toInt();
        const int mask1 = row[2].toInt();
        const int mask2 = row[3].toInt();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(n).arg(mask1).arg(mask2), row.mid(1, 3).join(u' '));
        DragSettings s;
        s.NumberOfSensors = qint16(n);
        const auto states = diagLampStates(diagRows(s), DiagReply{0, mask1, mask2});
        QStringList shown{QStringLiteral("malformed")};
        if (states)
            shown.clear();
        for (qsizetype r = 0; states && r < states->left.size(); ++r)
            shown.append(QString(states->left[r] ? u'G' : u'R') + (states->right[r] ? u'G' : u'R'));
        QCOMPARE(shown.join(u' '), row[4]);
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "tst_replies.moc"
