#include "link/StartDelay.h"
#include "race/DemoRace.h"
#include "support/FakeServices.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {
const float kA = 234881.0f / 16777216.0f; // times 1000 is 13.9999986: 14 as a single
const float kMax = 1.0f - 1.0f / 16777216.0f;
} // namespace

class TestDemoRace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsGiveTheReply_data()
    {
        QTest::addColumn<QList<float>>("draws");
        QTest::addColumn<QList<int>>("expected"); // indices 3 to 14
        QTest::newRow("mixed") << QList<float>{0.5f, 0.01f, 0.25f, 0.75f, 0.5f,
                                               0.0f, 0.5f,  0.25f, 0.1f,  0.9f}
                               << QList<int>{440,  -50,  1771, 1343, 3323, 2973,
                                             7950, 7866, 9558, 9561, 9690, 9700};
        // The lowest draw is a red light of -0.0060 and the quickest run, 0.9000; a draw whose
        // product is 14 as a single gives -46, where double would give -47.
        QTest::newRow("lowest") << QList<float>{0, kA, kMax, 0, 0, 0, 0, 0, 0, 0}
                                << QList<int>{-60,  -46,  1368, 1240, 3034, 2740,
                                              8034, 7240, 9796, 8825, 9939, 8954};
        // The highest draw: reaction 0.0939 and the slowest run, 0.9999; in single precision the
        // finish would round up to a run of 1.0000.
        QTest::newRow("highest") << QList<float>{kMax, 0,    kA,   kMax, kMax,
                                                 kMax, kMax, kMax, kMax, kMax}
                                 << QList<int>{939,  -60,  2247, 1388, 3769, 3074,
                                               8295, 8093, 9823, 9796, 9952, 9939};
    }

    void drawsGiveTheReply()
    {
        QFETCH(QList<float>, draws);
        QFETCH(QList<int>, expected);
        QueuedRandom random;
        for (float d : draws)
            random.draws.enqueue(d);
        RaceReply r;
        r.fill(-7);
        runDemoRace(random, r);
        QVERIFY(random.draws.isEmpty());
        for (int i = 3; i <= 14; ++i)
            QCOMPARE(r[i], expected[i - 3]);
        // Indices the unit fills but the race does not read keep their values.
        for (int i : {0, 1, 2, 15, 16, 17, 18})
            QCOMPARE(r[i], -7);
    }

    void startDelayTargets()
    {
        QueuedRandom random;
        random.queue({0.0f, kMax, 0.0f, kMax, 0.5f});
        QCOMPARE(startDelayTarget(random, 0, 0), 0);
        QCOMPARE(startDelayTarget(random, 0, 0), 0);
        // Minimum 2, maximum 6: ticks 2 to 5, so the window closes after 3 to 6 seconds.
        QCOMPARE(startDelayTarget(random, 2, 3), 2);
        QCOMPARE(startDelayTarget(random, 2, 3), 5);
        QCOMPARE(startDelayTarget(random, 2, 3), 4);
        // A maximum stored as position -1 gives a range of 0.
        QCOMPARE(startDelayTarget(random, 4, -1), 4);
    }
};

QTEST_GUILESS_MAIN(TestDemoRace)
#include "tst_demo_race.moc"
