#include "data/Settings.h"
#include "link/frmDelay.h"
#include "link/frmDiag.h"
#include "support/WindowRig.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

// The link's windows where timing counts: the start delay's and the diagnostics window.
class TestLinkWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The lamps, demo mode, a device gone and the tree test between polls are scenarios
    // (diag-*.scn); the polls' timing and their failures are told here.
    void failuresAreToldOnceAndThePollGoesOn()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup());
        rig.app->command().setTimeLimit(60ms, 20ms);
        // No answer: one time-out message per poll, and no poll starts while one waits.
        auto* diag = new frmDiag(rig.app->command(), rig.prompter, rig.app->settings().record(),
                                 &rig.window());
        diag->setAttribute(Qt::WA_DeleteOnClose);
        diag->show();
        QTest::qWait(400);
        diag->tmrDiag->stop();
        QTest::qWait(150); // the last poll's time-out
        const qsizetype polls = rig.memoryPort.writes.count("T\n");
        QVERIFY(polls >= 3);
        QCOMPARE(rig.memoryPort.writes.size(), polls);
        QCOMPARE(rig.prompter.texts(), QStringList(polls, kTransmitProblem));
        // The device gone: the poll stops and says so once; Reset starts it again.
        rig.prompter.clear();
        rig.port().close();
        diag->cmdReset->click();
        QTest::qWait(200);
        QCOMPARE(rig.prompter.messages.size(), 1);
        rig.port().open();
        rig.memoryPort.writes.clear();
        rig.app->command().setTimeLimit(2s, 100ms);
        diag->cmdReset->click();
        QTRY_COMPARE(rig.memoryPort.writes.value(0), QByteArray("T\n"));
        // The operator's click reaches the window while the unit is awaited.
        const QPointer<frmDiag> open = diag;
        QTimer::singleShot(120, [diag] { QTest::mouseClick(diag->cmdClose, Qt::LeftButton); });
        QTRY_VERIFY(!open);
        QCOMPARE(rig.prompter.messages.size(), 1);
    }

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

QTEST_MAIN(TestLinkWindows)
#include "tst_link_windows.moc"
