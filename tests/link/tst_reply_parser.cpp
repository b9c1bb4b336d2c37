#include "link/ReplyParser.h"

#include <QTest>

using namespace halvex;

class TestReplyParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("fields"); // indices 1 to 18; the rest must be 0
        QTest::newRow("fourteen fields")
            << "100\n200\n300\n400\n500\n600\n700\n800\n900\n1000\n1100\n1200\n1300\n1400\n!\n"
            << 14 << QList<int>{100, 200, 300,  400,  500,  600,  700,
                                800, 900, 1000, 1100, 1200, 1300, 1400};
        QTest::newRow("halves to even, signs, an empty field")
            << "12.5\n13.5\n-3\n-2.5\n\n2147483647\n!\n"
            << 6 << QList<int>{12, 14, -3, -2, 0, 2147483647};
        // The blank and the letter are no reply characters: the text ends before them, and what
        // stands before them on their line has no delimiter left.
        QTest::newRow("a blank ends the text") << "1\n 7\n!\n" << 1 << QList<int>{1};
        QTest::newRow("a letter ends the text") << "12\nx7\n!\n" << 1 << QList<int>{12};
        QTest::newRow("only the end mark") << "!\n" << 0 << QList<int>{};
        QTest::newRow("digits after the last delimiter") << "5\n6" << 1 << QList<int>{5};
        QTest::newRow("surplus fields")
            << "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n!\n"
            << 18 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    }

    void replies()
    {
        QFETCH(QString, reply);
        QFETCH(int, count);
        QFETCH(QList<int>, fields);
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
