#include "PtyPeer.h"
#include "data/Settings.h"
#include "link/frmDiag.h"
#include "support/WindowRig.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

// Each row shown: its name and lamps, G green, R red, left lamp first.
QString shown(const frmDiag& d)
{
    QStringList rows;
    for (int r = 0; r < 8 && d.lblSensorText[r]->isVisibleTo(&d); ++r) {
        rows.append(d.lblSensorText[r]->text() + u' ');
        for (const QLabel* lamp : {d.lblLeftSensors[r], d.lblRightSensors[r]})
            rows.last() += lamp->palette().color(QPalette::Window) == kLampBlocked ? u'G' : u'R';
    }
    return rows.join(u", ");
}

frmDiag* openDiag(WindowRig& rig)
{
    auto* diag =
        new frmDiag(rig.app->command(), rig.prompter, rig.app->settings().record(), &rig.window());
    diag->setAttribute(Qt::WA_DeleteOnClose);
    diag->show();
    return diag;
}

} // namespace

class TestFrmDiag : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lampsFollowTheSensorsLive_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("mask1");
        QTest::addColumn<int>("mask2");
        QTest::addColumn<QString>("rows");
        QTest::newRow("N=1, unused bits ignored")
            << 1 << (64 | 3) << 15
            << "Finish Line RR, SpeedTrap RR, 10 ft GR, StageStart RR, PreStage RR";
        QTest::newRow("N=3") << 3 << 64 << 0
                             << "Finish Line RR, SpeedTrap RR, 40 ft RR, 20 ft RR, 10 ft GR, "
                                "StageStart RR, PreStage RR";
    }

    // Every sensor blocked, then one; the tree test between polls; Reset turns every lamp red.
    void lampsFollowTheSensorsLive()
    {
        QFETCH(int, n);
        QFETCH(QString, rows);
        WindowRig rig(WindowRig::Port::Serial);
        rig.settings.NumberOfSensors = qint16(n);
        rig.writeSettings();
        rig.writeLists();
        sim::PtyPeer peer(rig.folder(), 1);
        rig.start();
        peer.setMasks(255, 255);
        frmDiag* diag = openDiag(rig);
        const QRegularExpression lamps(QStringLiteral("[GR]{2}"));
        QTRY_COMPARE(shown(*diag), QString(rows).replace(lamps, QStringLiteral("GG")));
        peer.clear();
        diag->cmdTestTree->click();
        QTRY_VERIFY(peer.received().startsWith("L\nT\n"));
        diag->cmdReset->click();
        QCOMPARE(shown(*diag), QString(rows).replace(lamps, QStringLiteral("RR")));
        QFETCH(int, mask1);
        QFETCH(int, mask2);
        peer.setMasks(mask1, mask2);
        QTRY_COMPARE(shown(*diag), rows);
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void demoModeNeitherPollsNorTestsTheTree()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        frmDiag* diag = openDiag(rig);
        diag->cmdTestTree->click();
        diag->cmdReset->click();
        QTest::qWait(100);
        QCOMPARE(rig.prompter.texts(),
                 (QStringList{"Diagnostic can not be preformed in Demo mode.",
                              "Tree-Test can not be preformed in Demo mode."}));
        QVERIFY(rig.memoryPort.writes.isEmpty());
    }

    void failuresAreToldOnceAndThePollGoesOn()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup());
        rig.app->command().setTimeLimit(60ms, 20ms);
        // No answer: one time-out message per poll, and no poll starts while one waits.
        frmDiag* diag = openDiag(rig);
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
};

QTEST_MAIN(TestFrmDiag)
#include "tst_frm_diag.moc"
