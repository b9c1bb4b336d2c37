#include "link/frmDelay.h"
#include "support/FakeServices.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

class TestStartDelay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

    void onlyGetReadyEndsTheWaitEarly()
    {
        QueuedRandom random;
        random.queue({0.0f});
        frmDelay delay(random, 9, 0);
        bool stillOpenAfterEscape = false;
        QTimer::singleShot(20, &delay, [&] {
            QTest::keyClick(&delay, Qt::Key_Escape);
            delay.close();
            stillOpenAfterEscape = delay.isVisible();
            QTest::mouseClick(delay.Label1, Qt::LeftButton);
        });
        QElapsedTimer t;
        t.start();
        delay.exec();
        QVERIFY(stillOpenAfterEscape);
        QVERIFY(t.elapsed() < 900);
        QVERIFY(!delay.tmrDelay->isActive());
    }
};

QTEST_MAIN(TestStartDelay)
#include "tst_start_delay.moc"
