#include "PtyPeer.h"
#include "race/WindowState.h"
#include "reports/frmDragStats.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

const qint32 kGrey = 224 | (224 << 8) | (224 << 16);

// Left: RT 0.0500, finish 1.0500 (ET 1.0000), trap 1.0400; right: RT 0.0400, finish 1.0800
// (ET 1.0400), trap 1.0700. Totals 1.05 and 1.08: the left lane wins by 0.0300.
const QList<qint32> kLeftWins = {0,    0,     500,   400,   2500,  2400, 4500, 4600, 8000,
                                 8200, 10400, 10700, 10500, 10800, 0,    0,    0,    0};

WindowState proTreeSetup(bool demo = false)
{
    WindowState s;
    s.ClassName = QStringLiteral("Stock");
    s.TreeIndex = 3;
    s.RacerLeft = QStringLiteral("Bob Diaz");
    s.RacerRight = QStringLiteral("Carla");
    s.CarLeft = QStringLiteral("Red Comet");
    s.CarRight = QStringLiteral("Blue");
    s.DemoMode = demo;
    return s;
}

} // namespace

class TestRaceRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

    frmDragRacing& startWith(const WindowState& state,
                             WindowRig::Port port = WindowRig::Port::Memory)
    {
        rig = std::make_unique<WindowRig>(port);
        frmDragRacing& w = rig->startWith(state);
        // A check that lets a race through by mistake must not wait out the unit's time limit.
        rig->command->setTimeLimitSeconds(0);
        return w;
    }

    void pressStartRace(frmDragRacing& w)
    {
        WindowRig::clickGetReadyWhenShown();
        w.cmdRace->click();
    }

private Q_SLOTS:
    void cleanup() { rig.reset(); }

    void setupChecksStopTheRaceBeforeAnythingIsSent()
    {
        const struct
        {
            const char* name;
            QString className;
            QString right;
            int tree;
            QString dialLeft;
            QString expected;
            QString title;
        } cases[] = {
            {"no class", QString(), "Carla", 0, "1", "Please select Class", "Halvex 3000"},
            {"no right racer", "Stock", "   ", 0, "1", "Please select Racers", "Halvex 3000"},
            {"letters", "Stock", "Carla", 2, "7.5x", "Dial-In must be numeric", "Dail-In Value"},
            {"zero", "Stock", "Carla", 1, "0.000",
             "Enter Dial-In values.\r\nOr select a different Tree.", "Dial-In Values"},
            {"beyond a single", "Stock", "Carla", 2, "1e39", "Overflow", "Halvex 3000"},
        };
        for (const auto& c : cases) {
            WindowState s = proTreeSetup();
            s.ClassName = c.className;
            s.RacerRight = c.right;
            s.TreeIndex = static_cast<qint16>(c.tree);
            frmDragRacing& w = startWith(s);
            w.txtDialin[1]->setText(QStringLiteral("7.000"));
            w.txtDialin[0]->setText(c.dialLeft);
            rig->memoryPort.writes.clear();
            rig->prompter.answers.enqueue(Answer::Ok);
            w.cmdRace->click();
            QCOMPARE(rig->prompter.texts(), QStringList{c.expected});
            QCOMPARE(rig->prompter.messages[0].title, c.title);
            QVERIFY2(rig->memoryPort.writes.isEmpty(), c.name);
            QVERIFY(!w.statisticsWindow());
        }
        // The box in fault is handed back with its whole text selected.
        WindowState s = proTreeSetup();
        s.TreeIndex = 2;
        frmDragRacing& w = startWith(s);
        w.txtDialin[1]->setText(QStringLiteral("abc"));
        w.cmdRace->click();
        QCOMPARE(w.txtDialin[1]->selectedText(), QStringLiteral("abc"));
        QCOMPARE(rig->prompter.messages[0].buttons, Buttons::Ok);

        // An empty left racer is found first; a button not reading "Start &Race" starts nothing.
        w.cmbRacers[0]->setEditText(QString());
        rig->prompter.clear();
        w.cmdRace->click();
        QCOMPARE(rig->prompter.texts(), QStringList{QStringLiteral("Please select Racers")});
        w.cmbRacers[0]->setEditText(QStringLiteral("Bob Diaz"));
        w.txtDialin[1]->setText(QStringLiteral("7"));
        w.cmdRace->setText(QStringLiteral("Racing"));
        rig->prompter.clear();
        w.cmdRace->click();
        QVERIFY(rig->prompter.messages.isEmpty());
        QVERIFY(rig->memoryPort.writes.isEmpty());
    }

    void aFullLogRefusesTheRace()
    {
        frmDragRacing& w = startWith(proTreeSetup());
        rig->g.Log.RaceLogCount = 500;
        w.cmdRace->click();
        QCOMPARE(rig->prompter.messages.size(), 1);
        QVERIFY(rig->prompter.messages[0].text.contains(QStringLiteral("250 races")));
        QVERIFY(rig->prompter.messages[0].text.contains(QStringLiteral("clear the log")));
        QVERIFY(rig->memoryPort.writes.isEmpty());
        QCOMPARE(rig->g.Log.RaceCounter, qint16(0));

        // 249 races in: the 250th still fits at positions 498 and 499.
        rig->g.Log.RaceLogCount = 498;
        rig->prompter.clear();
        rig->memoryPort.answerOnWait =
            "0\n0\n500\n400\n0\n0\n0\n0\n0\n0\n10400\n10700\n10500\n10800\n!\n";
        pressStartRace(w);
        QVERIFY(rig->prompter.messages.isEmpty());
        QVERIFY(w.statisticsWindow());
        QCOMPARE(rig->g.Log.RaceLog[498].Result, QStringLiteral("Win"));
        w.statisticsWindow()->close();
        QCOMPARE(rig->g.Log.RaceLogCount, qint16(500));
    }

    void aProTreeRaceOverARealSerialLine()
    {
        startWith(proTreeSetup(), WindowRig::Port::Serial);
        sim::PtyPeer peer(rig->folder(), 1);
        rig->window.reset();
        rig->prompter.clear();
        frmDragRacing& win = rig->start();
        QVERIFY(peer.waitForCommands(3, 3000));
        // The saved Pro-Tree's zero handicap meets the port before it opens.
        QCOMPARE(rig->prompter.texts(),
                 QStringList{QStringLiteral("Operation valid only when the port is open")});
        rig->prompter.clear();
        rig->command->setTimeLimitSeconds(20);
        peer.clear();
        peer.setRaceReply(kLeftWins);

        pressStartRace(win);
        QCOMPARE(rig->prompter.texts(), QStringList());
        frmDragStats* stats = win.statisticsWindow();
        QVERIFY(stats);
        QVERIFY(stats->isVisible());
        QVERIFY(peer.waitForCommands(6, 3000));
        QCOMPARE(peer.commands(),
                 (QList<QByteArray>{"O\n", "GL21\n", "GR21\n", "A\n0\n0\n", "P\n", "GL81\n"}));

        QCOMPARE(stats->windowTitle(), QStringLiteral("Statistics - Race # 1"));
        QCOMPARE(stats->lblDragRacingClass->text(), QStringLiteral("Class: Stock"));
        QCOMPARE(stats->lblNameLeft->text(), QStringLiteral("Bob Diaz"));
        QCOMPARE(stats->lblCarRight->text(), QStringLiteral("Blue"));
        QCOMPARE(stats->lblLeftRT->text(), QStringLiteral("0.0500"));
        QCOMPARE(stats->lblRightRT->text(), QStringLiteral("0.0400"));
        QCOMPARE(stats->lblLeftET->text(), QStringLiteral("1.0000"));
        QCOMPARE(stats->lblRightET->text(), QStringLiteral("1.0400"));
        QCOMPARE(stats->lblLeftWM->text(), QStringLiteral("0.0300"));
        QCOMPARE(stats->lblRightWM->text(), QString());
        QCOMPARE(stats->lblLeftMPH->text(), QStringLiteral("68.18"));
        QCOMPARE(stats->lblMPH->text(), QStringLiteral("MPH"));
        QCOMPARE(stats->lblLeft->text(), QStringLiteral("0.2000\n0.4000\n0.7500"));
        QCOMPARE(stats->lblRight->text(), QStringLiteral("0.2000\n0.4200\n0.7800"));
        QCOMPARE(stats->lblCenter->text(), QStringLiteral("10 ft\n20 ft\n40 ft"));
        QCOMPARE(stats->lblLeft->font().pointSize(), 40);
        QCOMPARE(stats->lblLeftDialin->text(), QString());
        QCOMPARE(backColour(stats->lblNameLeft), 65280);
        QCOMPARE(backColour(stats->lblCarLeft), 65280);
        QCOMPARE(backColour(stats->lblNameRight), kGrey);
        QCOMPARE(backColour(stats->lblLeftRT), kGrey);
        QCOMPARE(rig->g.Log.RaceLog[0].Result, QStringLiteral("Win"));
        QCOMPARE(rig->g.Log.RaceLog[1].Result, QStringLiteral("Lost"));
        QVERIFY(!win.cmdRace->isEnabled());
        QCOMPARE(rig->g.Log.RaceLogCount, qint16(0));

        // Enter on the Print button prints; it does not close the window.
        stats->cmdPrint->setFocus();
        QTest::keyClick(stats, Qt::Key_Return);
        QVERIFY(!stats->committed());
        peer.clear();
        stats->cmdOk->click();
        QVERIFY(peer.waitForCommands(1, 3000));
        QCOMPARE(peer.commands(), QList<QByteArray>{"O\n"});
        QVERIFY(win.cmdRace->isEnabled());
        QCOMPARE(rig->g.Log.RaceLogCount, qint16(2));

        // A stray answer waiting on the line is not taken for the next race's reply; that race
        // is closed with the close box, which commits it but sends no "O".
        QTest::qWait(50);
        peer.sendNow("1\n2\n-300\n-300\n!\n");
        QTest::qWait(100);
        peer.clear();
        pressStartRace(win);
        stats = win.statisticsWindow();
        QVERIFY(stats);
        QCOMPARE(stats->windowTitle(), QStringLiteral("Statistics - Race # 2"));
        QCOMPARE(stats->lblLeftRT->text(), QStringLiteral("0.0500"));
        stats->close();
        QTest::qWait(200);
        QCOMPARE(peer.commands(),
                 (QList<QByteArray>{"O\n", "GL21\n", "GR21\n", "A\n0\n0\n", "P\n", "GL81\n"}));
        QCOMPARE(rig->g.Log.RaceLogCount, qint16(4));
        QVERIFY(win.cmdRace->isEnabled());
    }

    void aDialInRaceInStagingModeAndARedLight()
    {
        WindowState s = proTreeSetup();
        s.TreeIndex = 2;
        s.DialInLeft = 7.5f;
        s.DialInRight = 7.25f;
        rig = std::make_unique<WindowRig>(WindowRig::Port::Serial);
        rig->settings.PreStageStage = true;
        rig->settings.Metric = true;
        rig->writeSettings();
        rig->writeLists();
        rig->writeFile(kWindowStateFileName, windowStateLine(s));
        sim::PtyPeer peer(rig->folder(), 1);
        frmDragRacing& w = rig->start();
        QVERIFY(peer.waitForCommands(3, 3000));
        peer.clear();
        QList<qint32> reply = kLeftWins;
        reply[2] = -12; // a red light on the left
        peer.setRaceReply(reply);
        pressStartRace(w);
        frmDragStats* stats = w.statisticsWindow();
        QVERIFY(stats);
        QVERIFY(peer.waitForCommands(4, 3000));
        QCOMPARE(peer.commands(), (QList<QByteArray>{"O\n", "A\n0\n2500\n", "N\n", "GR81\n"}));
        QCOMPARE(backColour(stats->lblLeftRT), 255);
        QCOMPARE(backColour(stats->lblNameRight), 65280);
        // Both ran far quicker than their dial-ins: breakouts, shown on yellow.
        QCOMPARE(backColour(stats->lblLeftET), 65535);
        QCOMPARE(stats->lblLeftDialin->text(), QStringLiteral("Dial-In 7.500"));
        QCOMPARE(stats->lblRightDialin->text(), QStringLiteral("Dial-In 7.250"));
        QCOMPARE(stats->lblMPH->text(), QStringLiteral("KPH"));
        QCOMPARE(rig->g.Log.RaceLog[0].Result, QStringLiteral("Lost"));

        // Quitting with the window open commits the race the same way.
        w.close();
        QCOMPARE(rig->g.Log.RaceLogCount, qint16(2));
    }

    void aDemoRaceKeepsTheLineSilent()
    {
        rig = std::make_unique<WindowRig>(WindowRig::Port::Serial);
        rig->writeSettings();
        rig->writeLists();
        rig->writeFile(kWindowStateFileName, windowStateLine(proTreeSetup(true)));
        sim::PtyPeer peer(rig->folder(), 1);
        frmDragRacing& w = rig->start();
        // The start delay draws first; then a left red light (draw 0 gives -60), right 0.0440 s.
        rig->random.queue({0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
        pressStartRace(w);
        frmDragStats* stats = w.statisticsWindow();
        QVERIFY(stats);
        QCOMPARE(stats->lblLeftRT->text(), QStringLiteral("-0.0060"));
        QCOMPARE(backColour(stats->lblLeftRT), 255);
        QCOMPARE(backColour(stats->lblNameRight), 65280);
        QCOMPARE(rig->g.Log.RaceLog[0].Result, QStringLiteral("Lost"));
        QCOMPARE(rig->g.Log.RaceLog[1].Result, QStringLiteral("Win"));
        stats->cmdOk->click();
        QTest::qWait(200);
        QCOMPARE(peer.received(), QByteArray());
        QCOMPARE(rig->prompter.texts(), QStringList());

        // Demo off again: the caption returns and the next race commands the unit.
        w.mnuDemo->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantora - Halvex 3000"));
        QVERIFY(w.lblDemo->isHidden());
        peer.setRaceReply(kLeftWins);
        pressStartRace(w);
        QVERIFY(peer.waitForCommands(6, 3000));
        QCOMPARE(peer.commands().first(), QByteArray("O\n"));
        w.statisticsWindow()->close();
    }

    void aUnitThatNeverAnswersTimesOut()
    {
        frmDragRacing& w = startWith(proTreeSetup());
        rig->command->setTimeLimitSeconds(0);
        pressStartRace(w);
        QCOMPARE(rig->prompter.texts(),
                 QStringList{QStringLiteral(
                     "Problem transmitting data. Verify connections and port settings.")});
        QVERIFY(!rig->g.RaceOk);
        QVERIFY(!w.statisticsWindow());
        QVERIFY(w.cmdRace->isEnabled());
        QCOMPARE(rig->g.Log.RaceCounter, qint16(0));
        QCOMPARE(rig->memoryPort.written(), QByteArray("O\nGL21\nGR21\nA\n0\n0\nP\n"));

        // A report whose number does not fit 32 bits is reported, not shown, and racing goes on.
        rig->prompter.clear();
        rig->memoryPort.answerOnWait = "0\n0\n99999999999\n400\n!\n";
        pressStartRace(w);
        QCOMPARE(rig->prompter.texts(), QStringList{QStringLiteral("Overflow")});
        QVERIFY(!w.statisticsWindow());
        QVERIFY(w.cmdRace->isEnabled());
        QCOMPARE(rig->g.Log.RaceCounter, qint16(0));
    }
};

QTEST_MAIN(TestRaceRun)
#include "tst_race_run.moc"
