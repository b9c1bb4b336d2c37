#include "PtyPeer.h"
#include "data/MasterList.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

const QString kNotOpen = QStringLiteral("Operation valid only when the port is open");
const QString kInvalidPort =
    QStringLiteral("Invalid Port Number\r\nGo to Settting to select correct port");

void chooseTree(frmDragRacing& w, int index)
{
    w.cmbTree->setCurrentIndex(index);
    Q_EMIT w.cmbTree->activated(index);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startupGreetsTheUnit()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.settings.InvertSignal = 1;
        rig.settings.PreStageStage = true;
        rig.writeSettings();
        rig.writeLists();
        sim::PtyPeer peer(rig.folder(), 1);
        QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
        frmDragRacing& w = rig.start();
        QVERIFY(peer.waitForCommands(3, 3000));
        QTest::qWait(50);
        QCOMPARE(peer.received(), QByteArray("O\nY\nR\n"));
        // A first run: no window state file, and not one message about it.
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000"));
        QVERIFY(w.lblDemo->isHidden());
    }

    void aPortThatIsNotThereIsReported()
    {
        // No device at all, then a COM1 entry whose adapter was pulled out, while the serial
        // device of the same number exists: both are the invalid port, and every start-up
        // command then fails in its turn.
        for (bool dangling : {false, true}) {
            WindowRig rig(WindowRig::Port::Serial);
            rig.writeSettings();
            rig.writeLists();
            if (dangling) {
                QVERIFY(QFile::link(rig.dir.filePath(QStringLiteral("gone")),
                                    rig.dir.filePath(QStringLiteral("COM1"))));
                rig.writeFile(QStringLiteral("no-ttyS0"), QByteArray());
            }
            rig.start();
            QCOMPARE(rig.prompter.texts(),
                     (QStringList{kInvalidPort, kNotOpen, kNotOpen, kNotOpen}));
            // The saved tree's handicap is not sent to a port that never opened.
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Invalid Port"));
            QVERIFY(!rig.port().isOpen());
        }
    }

    void theWindowStateGoesFromOneRunToTheNext()
    {
        WindowRig rig;
        WindowStateRecord saved;
        saved.CreditsColour = 65280;
        saved.TreeIndex = 0;
        frmDragRacing& w = rig.startWith(saved);
        w.cmbClass->setEditText(QStringLiteral("Stock"));
        chooseTree(w, 2);
        w.cmbRacers[0]->setEditText(QStringLiteral("Bob Diaz"));
        w.cmbRacers[1]->setEditText(QStringLiteral("Carla"));
        w.cmbCars[0]->setEditText(QStringLiteral("Red Comet"));
        w.cmbCars[1]->setEditText(QStringLiteral("Blue"));
        w.txtDialin[0]->setText(QStringLiteral("7.5"));
        w.txtDialin[1]->setText(QStringLiteral("abc"));
        w.mnuPreferencenesPrintSlip->setChecked(true);
        w.mnuExit->trigger();
        QCOMPARE(fileBytes(rig.dir.filePath(kWindowStateFileName)),
                 QByteArray("\"Stock\",2,\"Bob Diaz\",\"Carla\",\"Red Comet\",\"Blue\",#FALSE#,"
                            "#TRUE#,65280,0,#FALSE#,7.5,1\r\n"));

        frmDragRacing& again = rig.start();
        QCOMPARE(again.cmbClass->currentText(), QStringLiteral("Stock"));
        QCOMPARE(again.cmbTree->currentIndex(), 2);
        QCOMPARE(again.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(again.txtDialin[1]->text(), QStringLiteral("1.000"));
        QVERIFY(again.mnuPreferencenesPrintSlip->isChecked());
        // The lane boxes sort without regard to case and show no pick of their own.
        QCOMPARE(again.cmbRacers[0]->itemText(0), QStringLiteral("alice Hart"));

        // A short file stops silently: nothing reaches the controls.
        rig.writeFile(kWindowStateFileName, "\"Stock\",3,\"Carla\"\r\n");
        frmDragRacing& third = rig.start();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(third.cmbClass->currentText(), QString());
        QCOMPARE(third.cmbTree->currentIndex(), -1);
        QVERIFY(!third.txtDialin[0]->isHidden());
    }

    void dialInBoxesFollowTheTree()
    {
        WindowRig rig;
        WindowStateRecord s;
        s.TreeIndex = 2;
        s.DialInLeft = 7.5f;
        s.DialInRight = 8.0f;
        frmDragRacing& w = rig.startWith(s);
        w.txtDialin[0]->setText(QStringLiteral("6.1"));
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("8.000"));
        chooseTree(w, 1);
        QCOMPARE(w.lblDialin->text(), QStringLiteral("Index"));
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("6.1"));
        w.txtDialin[1]->clear();
        QTest::keyClicks(w.txtDialin[1], QStringLiteral("9.25"));
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("9.25"));
        // Leaving a box formats a number and leaves anything else as typed.
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w.txtDialin[0], &out);
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("9.250"));
        QVERIFY(rig.memoryPort.writes.isEmpty());

        chooseTree(w, 3);
        QVERIFY(w.txtDialin[0]->isHidden());
        QVERIFY(w.lblDialin->isHidden());
        QCOMPARE(rig.memoryPort.written(), QByteArray("A\n0\n0\n"));

        // Swapping the lanes swaps racers, cars and dial-ins; it needs both racers.
        w.cmdSwapLanes->click();
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral("Please select both Racers before swaping Lanes")});
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Swap Lanes"));
        w.cmbRacers[0]->setEditText(QStringLiteral("Bob Diaz"));
        w.cmbRacers[1]->setEditText(QStringLiteral("Carla"));
        w.cmbCars[0]->setEditText(QStringLiteral("Red Comet"));
        w.txtDialin[1]->setText(QStringLiteral("abc"));
        w.cmdSwapLanes->click();
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Bob Diaz"));
        QCOMPARE(w.cmbCars[1]->currentText(), QStringLiteral("Red Comet"));
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("abc"));
    }

    void onlyAChoiceFromTheListPointsOutTheSameRacer()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(WindowStateRecord{});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Typed in both boxes, left with Tab and with Enter: no message.
        for (int lane = 0; lane < 2; ++lane) {
            w.cmbRacers[lane]->setFocus();
            QTest::keyClicks(w.cmbRacers[lane], QStringLiteral("Carla"));
            QTest::keyClick(w.cmbRacers[lane], lane == 0 ? Qt::Key_Tab : Qt::Key_Return);
        }
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(rig.prompter.texts(), QStringList());

        // Chosen with the arrow keys: "alice Hart", "Bob Diaz", "Carla".
        w.cmbRacers[0]->setFocus();
        QTest::keyClick(w.cmbRacers[0], Qt::Key_Up);
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Bob Diaz"));
        QCOMPARE(rig.prompter.texts(), QStringList());
        QTest::keyClick(w.cmbRacers[0], Qt::Key_Down);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("Select a different Racer")});

        // Chosen with the mouse from the open list; the choice is not undone.
        rig.prompter.clear();
        w.cmbRacers[1]->showPopup();
        QAbstractItemView* view = w.cmbRacers[1]->view();
        QTRY_VERIFY(view->isVisible());
        const QRect carla = view->visualRect(view->model()->index(2, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, carla.center());
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("Select a different Racer")});
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
    }

    void aRaceOverARealSerialLine()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        sim::PtyPeer peer(rig.folder(), 1);
        frmDragRacing& w = rig.start();
        w.show();
        // The saved Pro-Tree's zero handicap follows the greeting on the open port, without a word.
        QVERIFY(peer.waitForCommands(4, 3000));
        QCOMPARE(peer.commands(), (QList<QByteArray>{"O\n", "X\n", "S\n", "A\n0\n0\n"}));
        QCOMPARE(rig.prompter.texts(), QStringList());
        rig.prompter.clear();
        peer.clear();
        peer.setRaceReply(kLeftWins);

        pressStartRace(w);
        frmDragStats* stats = rig.stats();
        QVERIFY(stats);
        QVERIFY(stats->isVisible());
        QVERIFY(peer.waitForCommands(6, 3000));
        QCOMPARE(peer.commands(),
                 (QList<QByteArray>{"O\n", "GL21\n", "GR21\n", "A\n0\n0\n", "P\n", "GL81\n"}));
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(stats->windowTitle(), QStringLiteral("Statistics - Race # 1"));
        QCOMPARE(stats->lblRight->text(), QStringLiteral("0.2000\n0.4200\n0.7800"));
        QCOMPARE(stats->lblLeft->font().pointSize(), 40);
        QVERIFY(!w.cmdRace->isEnabled());
        QCOMPARE(rig.log().count(), 0);

        // The window opens on OK, and Enter answers it: the race is committed, the unit reset.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(stats->cmdOk));
        peer.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(peer.waitForCommands(1, 3000));
        QCOMPARE(peer.commands(), QList<QByteArray>{"O\n"});
        QVERIFY(w.cmdRace->isEnabled());
        QCOMPARE(rig.log().count(), 2);
        QTRY_VERIFY(!rig.stats());

        // The next race is closed with the close box, which commits it but sends no "O".
        peer.clear();
        pressStartRace(w);
        stats = rig.stats();
        QVERIFY(stats);
        QCOMPARE(stats->windowTitle(), QStringLiteral("Statistics - Race # 2"));
        stats->close();
        QTest::qWait(200);
        QCOMPARE(peer.commands().last(), QByteArray("GL81\n"));
        QCOMPARE(rig.log().count(), 4);
        QVERIFY(w.cmdRace->isEnabled());

        // Quitting with a result on screen commits it the same way.
        pressStartRace(w);
        QVERIFY(rig.stats());
        w.close();
        QCOMPARE(rig.log().count(), 6);
        QTRY_VERIFY(!rig.stats());
    }

    // A list editor closed after a race shows the racers and cars of that race again, not those
    // of the saved setup, nor what was typed since.
    void aReloadedListShowsTheLastRacesNames()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup(true));
        w.cmbRacers[0]->setEditText(QStringLiteral("alice Hart"));
        w.cmbCars[1]->setEditText(QStringLiteral("Red Comet"));
        pressStartRace(w);
        QVERIFY(rig.stats());
        rig.stats()->cmdOk->click();
        w.cmbRacers[0]->setEditText(QStringLiteral("typed later"));
        for (QAction* editor : {w.mnuRacers, w.mnuDataBaseCars}) {
            QTimer::singleShot(50, [] { QApplication::activeModalWidget()->close(); });
            editor->trigger();
        }
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("alice Hart"));
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbCars[0]->currentText(), QStringLiteral("Red Comet"));
        QCOMPARE(w.cmbCars[1]->currentText(), QStringLiteral("Red Comet"));
    }

    void theWindowStaysAliveWhileTheUnitIsAwaited()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        rig.app->command().setTimeLimit(400ms, 100ms);
        int ticks = 0;
        bool waiting = false;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        // Typed into a racer box and a click on Exit while the reply is awaited: both dropped,
        // now and afterwards.
        QTimer::singleShot(200, [&] {
            waiting = rig.app->session().state() == RaceSession::State::Awaiting &&
                      w.statusBar()->currentMessage() == u"Waiting for the timing unit";
            w.cmbRacers[0]->setFocus();
            QTest::keyClicks(w.cmbRacers[0], QStringLiteral("xyz"));
            QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        });
        pressStartRace(w);
        QCoreApplication::processEvents();
        QVERIFY(waiting);
        QVERIFY(ticks >= 10);
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Bob Diaz"));
        QVERIFY(w.isVisible());
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral(
                     "Problem transmitting data. Verify connections and port settings.")});
        QVERIFY(!rig.stats());
        QVERIFY(w.cmdRace->isEnabled());
        QCOMPARE(rig.memoryPort.written(), QByteArray("O\nGL21\nGR21\nA\n0\n0\nP\n"));
    }

    void aCoinBuysRaces()
    {
        WindowRig rig;
        rig.settings.CoinBoxInstalled = 1;
        rig.settings.CreditsPerCoinIndex = 2;
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        // A new installation starts at 0 credits.
        QCOMPARE(w.lblCredits->text(), QStringLiteral("0 Credits"));
        w.cmdCoin->click();
        QCOMPARE(w.lblCredits->text(), QStringLiteral("3 Credits"));
        QCOMPARE(backColour(w.lblCredits), kColourGreen);
        QCOMPARE(rig.sound.played, QStringList{QStringLiteral("Coindrop.wav")});

        // Without a coin box the controls are hidden.
        rig.settings.CoinBoxInstalled = 0;
        frmDragRacing& plain = rig.startWith(WindowRig::proTreeSetup());
        QVERIFY(plain.cmdCoin->isHidden());
        QVERIFY(plain.lblCredits->isHidden());
    }

    void helpAndDemoFromTheMenus()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup(true)));
        frmDragRacing& w = rig.start();
        // Demo mode saved: start-up sends nothing, the marks show, and a race runs with no line
        // traffic.
        QVERIFY(rig.port().isOpen());
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000      DEMO MODE"));
        QVERIFY(!w.lblDemo->isHidden());
        QVERIFY(w.mnuDemo->isChecked());
        pressStartRace(w);
        rig.stats()->cmdOk->click();
        QVERIFY(rig.memoryPort.writes.isEmpty());
        w.mnuDemo->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000"));
        QVERIFY(w.lblDemo->isHidden());
        QVERIFY(!rig.app->command().demoMode());

        // F1 opens the operator's help, built in when the program folder has none of its own.
        w.mnuHelpIndex->trigger();
        auto* help = w.findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
        QVERIFY(help);
        QVERIFY(help->toPlainText().contains(QStringLiteral("Running a race")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
