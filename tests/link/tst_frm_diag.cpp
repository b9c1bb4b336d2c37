#include "PtyPeer.h"
#include "data/Settings.h"
#include "link/frmDiag.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

const QString kTransmit =
    QStringLiteral("Problem transmitting data. Verify connections and port settings.");

QString lampsShown(const frmDiag& d)
{
    QString shown;
    for (int r = 0; r < 8 && d.lblLeftSensors[r]->isVisibleTo(&d); ++r) {
        for (const QLabel* lamp : {d.lblLeftSensors[r], d.lblRightSensors[r]})
            shown += lamp->palette().color(QPalette::Window) == kLampBlocked ? u'G' : u'R';
        shown += u' ';
    }
    return shown.trimmed();
}

QStringList namesShown(const frmDiag& d)
{
    QStringList names;
    for (const QLabel* name : d.lblSensorText)
        if (name->isVisibleTo(&d))
            names.append(name->text());
    return names;
}

std::unique_ptr<frmDiag> openDiag(WindowRig& rig)
{
    auto diag = std::make_unique<frmDiag>(rig.app->command(), rig.prompter,
                                          rig.app->settings().record(), &rig.window());
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
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("masks");
        QTest::addColumn<QStringList>("lamps");
        QTest::newRow("N=1, unused bits ignored")
            << 1 << QStringList{"Finish Line", "SpeedTrap", "10 ft", "StageStart", "PreStage"}
            << QList<int>{64, 0, 3, 15} << QStringList{"RR RR GR RR RR", "RR RR RR RR RR"};
        QTest::newRow("N=2, sensor 2 on mask 2")
            << 2
            << QStringList{"Finish Line", "SpeedTrap", "20 ft", "10 ft", "StageStart", "PreStage"}
            << QList<int>{0, 12, 255, 255} << QStringList{"RR RR GG RR RR RR", "GG GG GG GG GG GG"};
        QTest::newRow("N=3") << 3 << QStringList{"Finish Line", "SpeedTrap",  "40 ft",   "20 ft",
                                                 "10 ft",       "StageStart", "PreStage"}
                             << QList<int>{255, 255, 0, 0}
                             << QStringList{"GG GG GG GG GG GG GG", "RR RR RR RR RR RR RR"};
    }

    void lampsFollowTheSensorsLive()
    {
        QFETCH(int, n);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, masks);
        QFETCH(QStringList, lamps);
        WindowRig rig(WindowRig::Port::Serial);
        rig.settings.NumberOfSensors = qint16(n);
        rig.writeSettings();
        rig.writeLists();
        sim::PtyPeer peer(rig.folder(), 1);
        rig.start();
        peer.setMasks(masks[0], masks[1]);
        const auto diag = openDiag(rig);
        QCOMPARE(namesShown(*diag), names);
        QTRY_COMPARE(lampsShown(*diag), lamps[0]);
        peer.setMasks(masks[2], masks[3]);
        QTRY_COMPARE(lampsShown(*diag), lamps[1]);

        // The tree test goes out between polls; Reset turns every lamp red at once.
        peer.clear();
        diag->cmdTestTree->click();
        QTRY_VERIFY(peer.received().startsWith("L\nT\n"));
        diag->cmdReset->click();
        QCOMPARE(lampsShown(*diag), QString(lamps[0]).replace(u'G', u'R'));
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void demoModeNeitherPollsNorTestsTheTree()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        // Opened from the menu, modal: closed from a timer through its own button.
        QTimer::singleShot(100, [] {
            auto* diag = qobject_cast<frmDiag*>(QApplication::activeModalWidget());
            QVERIFY(diag);
            QVERIFY(!diag->tmrDiag->isActive());
            diag->cmdTestTree->click();
            diag->cmdReset->click();
            QVERIFY(!diag->tmrDiag->isActive());
            diag->cmdClose->click();
        });
        rig.window().mnuDiagnostic->trigger();
        QCOMPARE(rig.prompter.texts(),
                 (QStringList{"Diagnostic can not be preformed in Demo mode.",
                              "Tree-Test can not be preformed in Demo mode."}));
        QCOMPARE(rig.prompter.messages[1].title, QStringLiteral("Tree-Test"));
        QCOMPARE(rig.prompter.messages[1].icon, Icon::Information);
        QVERIFY(rig.memoryPort.writes.isEmpty());
    }

    void failuresAreToldOnceAndThePollGoesOn()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup());
        rig.app->command().setTimeLimit(60ms, 20ms);

        // No answer: one time-out message per poll, and no poll starts while one waits.
        auto diag = openDiag(rig);
        QTest::qWait(400);
        diag->close();
        const qsizetype polls = rig.memoryPort.writes.count("T\n");
        QVERIFY(polls >= 3);
        QCOMPARE(rig.memoryPort.writes.size(), polls);
        QCOMPARE(rig.prompter.texts(), QStringList(polls, kTransmit));

        // A mask past a byte, or past 32 bits: said once, the lamps as they were.
        rig.prompter.clear();
        rig.memoryPort.answers.insert("T\n", "64\n0\n!\n");
        diag = openDiag(rig);
        QTRY_COMPARE(lampsShown(*diag), QStringLiteral("RR RR RR RR GR RR RR"));
        for (const char* bad : {"300\n0\n!\n", "0\n99999999999\n!\n"}) {
            rig.memoryPort.answers.insert("T\n", bad);
            QTest::qWait(200);
        }
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Diagnostic"));
        QCOMPARE(lampsShown(*diag), QStringLiteral("RR RR RR RR GR RR RR"));

        // The device gone: the poll stops and says so once; Reset starts it again.
        rig.prompter.clear();
        rig.port().close();
        QTest::qWait(200);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.prompter.texts()[0].startsWith("Operation valid only when the port is open"));
        QVERIFY(!diag->tmrDiag->isActive());
        rig.port().open();
        rig.memoryPort.answers.insert("T\n", "0\n0\n!\n");
        rig.memoryPort.writes.clear();
        diag->cmdReset->click();
        QTRY_COMPARE(rig.memoryPort.writes.value(0), QByteArray("T\n"));
        QCOMPARE(rig.prompter.messages.size(), 1);
    }
};

QTEST_MAIN(TestFrmDiag)
#include "tst_frm_diag.moc"
