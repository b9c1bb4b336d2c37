#include "link/ReplyParser.h"

#include <QTest>

#include <array>

using namespace halvex;

class TestReplyParser : public QObject
{
    Q_OBJECT

private:
    static std::array<qint32, 19> race(const QString& reply, int* count = nullptr)
    {
        std::array<qint32, 19> a;
        a.fill(77); // proves every element is overwritten
        const int n = parseReply(reply, kReplyValidChars, kReplyDelimiter,
                                 std::span<qint32>(a).subspan(1), 1);
        if (count)
            *count = n;
        return a;
    }

private Q_SLOTS:
    void fourteenFieldsFillTheirIndicesAndZeroTheRest()
    {
        QString reply;
        for (int i = 1; i <= 14; ++i)
            reply += QString::number(i * 100) + u'\n';
        reply += QStringLiteral("!\n");
        int count = 0;
        const auto a = race(reply, &count);
        QCOMPARE(count, 14);
        for (int i = 1; i <= 14; ++i)
            QCOMPARE(a[i], i * 100);
        for (int i = 15; i <= 18; ++i)
            QCOMPARE(a[i], 0);
    }

    void fieldsRoundHalvesToEvenAndKeepSigns()
    {
        const auto a = race(QStringLiteral("12.5\n13.5\n-3\n-2.5\n\n 7\n2147483647\n!\n"));
        QCOMPARE(a[1], 12);
        QCOMPARE(a[2], 14);
        QCOMPARE(a[3], -3);
        QCOMPARE(a[4], -2);
        QCOMPARE(a[5], 0); // an empty field
        // The blank is not a valid reply character: the text is cut before it.
        QCOMPARE(a[6], 0);
        QCOMPARE(a[7], 0);
    }

    void aLetterEndsTheUsableText()
    {
        int count = 0;
        const auto a = race(QStringLiteral("12\nx7\n!\n"), &count);
        QCOMPARE(count, 1);
        QCOMPARE(a[1], 12);
        QCOMPARE(a[2], 0);

        race(QStringLiteral("!\n"), &count);
        QCOMPARE(count, 0);
        // Digits after the last delimiter have no delimiter of their own and are dropped.
        const auto b = race(QStringLiteral("5\n6"), &count);
        QCOMPARE(count, 1);
        QCOMPARE(b[2], 0);
    }

    void surplusFieldsAreIgnored()
    {
        std::array<qint32, 3> diag{9, 9, 9};
        const int count = parseReply(QStringLiteral("64\n128\n255\n!\n"), kReplyValidChars,
                                     kReplyDelimiter, std::span<qint32>(diag).subspan(1), 1);
        QCOMPARE(count, 2);
        QCOMPARE(diag[1], 64);
        QCOMPARE(diag[2], 128);

        QString reply;
        for (int i = 1; i <= 20; ++i)
            reply += QString::number(i) + u'\n';
        int n = 0;
        const auto a = race(reply + QStringLiteral("!\n"), &n);
        QCOMPARE(n, 18);
        QCOMPARE(a[18], 18);
    }

    void keepValidPrefixCutsAtTheFirstStranger()
    {
        QString t = QStringLiteral("12-3.4\nab");
        keepValidPrefix(t, kReplyValidChars + kReplyDelimiter);
        QCOMPARE(t, QStringLiteral("12-3.4\n"));
        QString whole = QStringLiteral("123");
        keepValidPrefix(whole, kReplyValidChars);
        QCOMPARE(whole, QStringLiteral("123"));
        QString none = QStringLiteral("!1\n");
        keepValidPrefix(none, kReplyValidChars + kReplyDelimiter);
        QVERIFY(none.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReplyParser)
#include "tst_reply_parser.moc"
