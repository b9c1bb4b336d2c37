#include "race/DemoRace.h"
#include "race/WindowState.h"
#include "support/FakeServices.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestDemoRace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queuedDrawsGiveTheFormulasReply()
    {
        QueuedRandom random;
        random.queue({0.5f, 0.01f, 0.25f, 0.75f, 0.5f, 0.0f, 0.5f, 0.25f, 0.1f, 0.9f});
        std::array<qint32, 19> r;
        r.fill(-7);
        runDemoRace(random, r);
        const std::array<qint32, 19> expected = {-7,   -7,   -7,   440,  -50,  1771, 1343,
                                                 3323, 2973, 7950, 7866, 9558, 9561, 9690,
                                                 9700, -7,   -7,   -7,   -7};
        QCOMPARE(r, expected);
        QVERIFY(random.draws.isEmpty());
    }

    void demoArithmeticStaysInSinglePrecision()
    {
        // 0.0025 * 1000 is 2.49999994 as a single; with the lane's 2 and 9000 added in single
        // precision it becomes 9004.5, so the finish is 9004 and the run 9002 = 7 * 1286. The
        // first point is then 1286 + 0.5 + 2 exactly: a tie that goes to the even 1288. Worked in
        // double the half would carry a trace more and give 1289.
        QueuedRandom random;
        random.queue({0.0625f, 0.0625f, 0.0025f, 0.0025f, 0.025f, 0.025f, 0, 0, 0, 0});
        std::array<qint32, 19> r{};
        runDemoRace(random, r);
        QCOMPARE(r[3], 2);
        QCOMPARE(r[13], 9004);
        QCOMPARE(r[5], 1288);
        QCOMPARE(r[6], 1288);
    }

    void redLightsAndTheSlowestRun()
    {
        QueuedRandom random;
        random.queue({0.0f, 0.99999994f, 0.99999994f, 0.0f});
        std::array<qint32, 19> r{};
        runDemoRace(random, r);
        QCOMPARE(r[3], -60);
        QCOMPARE(r[4], 939);
        // 999.99994 - 60 + 9000 is 9939.99994, which a single holds only as 9940.
        QCOMPARE(r[13], 9940);
        QCOMPARE(r[14], 9939);
    }

    void startDelayTargets()
    {
        QueuedRandom random;
        random.queue({0.0f, 0.99999994f, 0.0f, 0.99999994f, 0.5f, 0.7f});
        QCOMPARE(startDelayTarget(random, 0, 0), 0);
        QCOMPARE(startDelayTarget(random, 0, 0), 0);
        // Minimum 2, maximum 6: ticks 2 to 5, so the window closes after 3 to 6 seconds.
        QCOMPARE(startDelayTarget(random, 2, 3), 2);
        QCOMPARE(startDelayTarget(random, 2, 3), 5);
        QCOMPARE(startDelayTarget(random, 2, 3), 4);
        // A maximum stored as position -1 gives a range of 0.
        QCOMPARE(startDelayTarget(random, 4, -1), 4);
    }

    void windowStateLineAndShortReads()
    {
        WindowState s;
        s.ClassName = QStringLiteral("Pro, Stock");
        s.TreeIndex = 2;
        s.RacerLeft = QStringLiteral("Ann");
        s.RacerRight = QStringLiteral("Bob");
        s.CarLeft = QStringLiteral("Red");
        s.CarRight = QString();
        s.AutoPrintSlip = true;
        s.CreditsColour = 65280;
        s.DemoMode = true;
        s.DialInLeft = 7.5f;
        s.DialInRight = 0.25f;
        QCOMPARE(windowStateLine(s),
                 QByteArray("\"Pro, Stock\",2,\"Ann\",\"Bob\",\"Red\",\"\",#FALSE#,#TRUE#,65280,0,"
                            "#TRUE#,7.5,.25\r\n"));
        WindowState back;
        readWindowState(windowStateLine(s), back);
        QCOMPARE(back.ClassName, s.ClassName);
        QCOMPARE(back.DialInRight, 0.25f);
        QCOMPARE(back.CreditsColour, 65280);

        WindowState partial;
        partial.DemoMode = true;
        partial.DialInLeft = 3;
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 readWindowState("\"Stock\",3,\"Ann\"\r\n", partial));
        QCOMPARE(partial.ClassName, QStringLiteral("Stock"));
        QCOMPARE(partial.TreeIndex, qint16(3));
        QCOMPARE(partial.RacerLeft, QStringLiteral("Ann"));
        QVERIFY(partial.DemoMode);
        QCOMPARE(partial.DialInLeft, 3.0f);
    }
};

QTEST_GUILESS_MAIN(TestDemoRace)
#include "tst_demo_race.moc"
