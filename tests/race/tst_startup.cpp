#include "PtyPeer.h"
#include "race/WindowState.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace halvex;
using namespace halvex::test;

namespace {
const QString kNotOpen = QStringLiteral("Operation valid only when the port is open");
}

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startupCommandsReachTheUnitExactly()
    {
        const struct
        {
            qint16 invert;
            bool preStageStage;
            QByteArray wire;
        } cases[] = {
            {0, false, "O\nX\nS\n"},
            {1, false, "O\nY\nS\n"},
            {0, true, "O\nX\nR\n"},
            {1, true, "O\nY\nR\n"},
        };
        for (const auto& c : cases) {
            WindowRig rig(WindowRig::Port::Serial);
            rig.settings.InvertSignal = c.invert;
            rig.settings.PreStageStage = c.preStageStage;
            rig.writeSettings();
            rig.writeLists();
            sim::PtyPeer peer(rig.folder(), 1);
            QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));

            frmDragRacing& w = rig.start();
            QVERIFY(peer.waitForCommands(3, 3000));
            QTest::qWait(50);
            QCOMPARE(peer.received(), c.wire);
            // A first run: no window state file, and not one message about it.
            QCOMPARE(rig.prompter.texts(), QStringList());
            QVERIFY(rig.port().isOpen());
            QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000"));
            QVERIFY(w.lblDemo->isHidden());
        }
    }

    void demoModeStartsSilentlyWithThePortOpen()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        WindowState saved;
        saved.DemoMode = true;
        rig.writeFile(kWindowStateFileName, windowStateLine(saved));
        sim::PtyPeer peer(rig.folder(), 1);

        frmDragRacing& w = rig.start();
        QTest::qWait(300);
        QCOMPARE(peer.received(), QByteArray());
        QVERIFY(rig.port().isOpen());
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000      DEMO MODE"));
        QVERIFY(!w.lblDemo->isHidden());
        QVERIFY(w.mnuDemo->isChecked());
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void aMissingPortIsReportedThenEachStartupCommandFails()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        rig.start();
        QCOMPARE(rig.prompter.messages.size(), 4);
        QCOMPARE(rig.prompter.messages[0].text,
                 QStringLiteral("Invalid Port Number\r\nGo to Settting to select correct port"));
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Invalid Port"));
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(rig.prompter.messages[i].text, kNotOpen);
            QCOMPARE(rig.prompter.messages[i].title, QStringLiteral("Halvex 3000"));
        }
        QVERIFY(!rig.port().isOpen());

        WindowRig demo(WindowRig::Port::Serial);
        demo.writeSettings();
        demo.writeLists();
        WindowState saved;
        saved.DemoMode = true;
        demo.writeFile(kWindowStateFileName, windowStateLine(saved));
        demo.start();
        QCOMPARE(demo.prompter.messages.size(), 1);
        QCOMPARE(demo.prompter.messages[0].title, QStringLiteral("Invalid Port"));
    }

    void aMissingSettingsFileGivesTwoMessagesAndStartupGoesOn()
    {
        WindowRig rig;
        rig.writeLists();
        frmDragRacing& w = rig.start();
        QCOMPARE(rig.prompter.texts(),
                 (QStringList{QStringLiteral("File not found: DragRacingSettings.dat"),
                              QStringLiteral("Bad file name or number: DragRacingSettings.dat is "
                                             "not open")}));
        // Port 1 of the all-zero record is opened and greeted all the same.
        QCOMPARE(rig.memoryPort.number, 1);
        QCOMPARE(rig.memoryPort.written(), QByteArray("O\nX\nS\n"));
        QCOMPARE(w.cmbTree->count(), 5);
    }

    void closingWritesTheWholeWindowStateAndTheNextStartShowsIt()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        WindowState saved;
        saved.CreditsColour = 65280;
        saved.TreeIndex = 0;
        rig.writeFile(kWindowStateFileName, windowStateLine(saved));
        frmDragRacing& w = rig.start();

        w.cmbClass->setEditText(QStringLiteral("Stock"));
        w.cmbTree->setCurrentIndex(2);
        w.SetupTree();
        w.cmbRacers[0]->setEditText(QStringLiteral("Bob Diaz"));
        w.cmbRacers[1]->setEditText(QStringLiteral("Carla"));
        w.cmbCars[0]->setEditText(QStringLiteral("Red Comet"));
        w.cmbCars[1]->setEditText(QStringLiteral("Blue"));
        w.txtDialin[0]->setText(QStringLiteral("7.5"));
        w.txtDialin[1]->setText(QStringLiteral("abc"));
        w.mnuPreferencenesPrintSlip->setChecked(true);
        w.close();
        QCOMPARE(rig.readFile(kWindowStateFileName),
                 QByteArray("\"Stock\",2,\"Bob Diaz\",\"Carla\",\"Red Comet\",\"Blue\",#FALSE#,"
                            "#TRUE#,65280,0,#FALSE#,7.5,1\r\n"));

        rig.window.reset();
        frmDragRacing& again = rig.start();
        QCOMPARE(again.cmbClass->currentText(), QStringLiteral("Stock"));
        QCOMPARE(again.cmbTree->currentIndex(), 2);
        QCOMPARE(again.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(again.txtDialin[0]->text(), QStringLiteral("7.500"));
        QCOMPARE(again.txtDialin[1]->text(), QStringLiteral("1.000"));
        QVERIFY(again.mnuPreferencenesPrintSlip->isChecked());
        QCOMPARE(again.lblDialin->text(), QStringLiteral("Dial-In"));

        // The Exit menu item closes the window the same way.
        again.cmbClass->setEditText(QStringLiteral("Modified"));
        again.mnuExit->trigger();
        QVERIFY(rig.readFile(kWindowStateFileName).startsWith("\"Modified\",2,"));
    }

    void aShortWindowStateFileStopsSilently()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, "\"Stock\",3,\"Carla\"\r\n");
        frmDragRacing& w = rig.start();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.g.ClassName, QStringLiteral("Stock"));
        QCOMPARE(rig.g.RacerLeft, QStringLiteral("Carla"));
        // Nothing reached the controls, and the tree setup kept its designed state.
        QCOMPARE(w.cmbClass->currentText(), QString());
        QCOMPARE(w.cmbTree->currentIndex(), -1);
        QVERIFY(!w.txtDialin[0]->isHidden());
        QCOMPARE(rig.memoryPort.written(), QByteArray("O\nX\nS\n"));
    }

    void controlsAndMenusAsDesigned()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        frmDragRacing& w = rig.start();
        auto* right = w.findChild<QComboBox*>(QStringLiteral("cmbRacers(1)"));
        QVERIFY(right);
        QCOMPARE(right->toolTip(), QStringLiteral("Select racer in right lane"));
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbCars(0)"))->toolTip(),
                 QStringLiteral("Select car in left lane,you can add more cars in Database"));
        QVERIFY(w.findChild<QLineEdit*>(QStringLiteral("txtDialin(0)")));
        QCOMPARE(w.cmdRace->text(), QStringLiteral("Start &Race"));
        QCOMPARE(w.cmdSwapLanes->text(), QStringLiteral("S&wap Lanes"));
        QStringList trees;
        for (int i = 0; i < w.cmbTree->count(); ++i)
            trees << w.cmbTree->itemText(i);
        QCOMPARE(trees, (QStringList{"Full Tree", "Full Tree with Index", "Full Tree with Dial-In",
                                     "Pro-Tree", "Pro-Tree with Index"}));
        // Lane boxes sort without regard to case and show no pick of their own.
        QCOMPARE(right->itemText(0), QStringLiteral("alice Hart"));
        QCOMPARE(right->itemText(1), QStringLiteral("Bob Diaz"));
        QCOMPARE(right->currentText(), QString());
        QCOMPARE(w.cmbClass->itemText(0), QStringLiteral("Stock"));
        QCOMPARE(w.cmbClass->currentText(), QString());

        for (QAction* a :
             {w.mnuFileNewEvent, w.mnuFileLoadEvent, w.mnuSaveEvent, w.mnuQualifications})
            QVERIFY(!a->isEnabled());
        QCOMPARE(w.mnuSaveEvent->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(w.mnuExit->text(), QStringLiteral("E&xit"));
        QCOMPARE(w.mnuExit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(w.mnuRacers->text(), QStringLiteral("&Racers... "));
        QCOMPARE(w.mnuHelpIndex->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.mnuVantoraWebSite->text(), QStringLiteral("Vantora web site"));

        // F1 opens the operator's help, built in when the program folder has none of its own.
        w.mnuHelpIndex->trigger();
        auto* help = w.findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
        QVERIFY(help);
        QVERIFY(help->toPlainText().contains(QStringLiteral("Running a race")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
