#include "link/StartDelay.h"
#include "race/DemoRace.h"
#include "support/FakeServices.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {
// The highest draw below 1.
const float kMax = 1.0f - 1.0f / 16777216.0f;
} // namespace

class TestDemoRace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One demo race a row of demo-draws.tsv.
    void drawsGiveTheReply_data() { addTableRows(QFINDTESTDATA("demo-draws.tsv"), 3); }
    void drawsGiveTheReply()
    {
        QFETCH(QStringList, row);
        QueuedRandom random;
        for (const QString& d : row[1].split(u' '))
            random.draws.enqueue(d.toFloat());
        QCOMPARE(random.draws.size(), 10);
        RaceReply r;
        r.fill(-7);
        runDemoRace(random, r);
        QVERIFY(random.draws.isEmpty());
        QStringList got;
        for (int i = 3; i <= 14; ++i)
            got << QString::number(r[i]);
        QCOMPARE(got.join(u' '), row[2]);
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
