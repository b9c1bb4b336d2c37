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
    void getReadyAsDesigned()
    {
        QueuedRandom random;
        random.queue({0.5f});
        frmDelay delay(random, 2, 3);
        QCOMPARE(delay.windowTitle(), QStringLiteral("Start Delay"));
        QCOMPARE(delay.Label1->text(), QStringLiteral("Get Ready"));
        QCOMPARE(delay.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(delay.Label1->palette().color(QPalette::Window), QColor(224, 224, 224));
        QVERIFY(delay.Label1->font().bold());
        QCOMPARE(delay.Label1->font().family(), QStringLiteral("Arial"));
        QCOMPARE(delay.Label1->font().pointSize(), 100);
        QCOMPARE(delay.tmrDelay->interval(), 1000);
        QVERIFY(delay.tmrDelay->isActive());
        // 0.5 of a range of 4, plus the minimum of 2.
        QCOMPARE(delay.target(), 4);
        QCOMPARE(random.reseeds, 1);
    }

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
