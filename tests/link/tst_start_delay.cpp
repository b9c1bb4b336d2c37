#include "link/frmDelay.h"
#include "support/FakeServices.h"

#include <QElapsedTimer>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestStartDelay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // That only "Get Ready" ends the wait early is a scenario
    // (main-start-delay-ends-early-only-by-get-ready.scn); the tick it closes on is told here.
    void closesOnTheTickAfterItsTarget()
    {
        QueuedRandom random;
        random.queue({0.9f});
        frmDelay delay(random, 0, 0);
        QCOMPARE(delay.target(), 0);
        QElapsedTimer t;
        t.start();
        delay.exec();
        QVERIFY2(t.elapsed() >= 900 && t.elapsed() < 3000,
                 qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_MAIN(TestStartDelay)
#include "tst_start_delay.moc"
