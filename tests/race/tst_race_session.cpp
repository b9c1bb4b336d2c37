#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "link/StartDelay.h"
#include "link/TimingUnit.h"
#include "platform/Failure.h"
#include "race/Colours.h"
#include "race/Credits.h"
#include "race/DemoRace.h"
#include "race/LadderColumns.h"
#include "race/RaceResult.h"
#include "race/RaceSession.h"
#include "race/ResultDisplay.h"
#include "race/Scoreboard.h"
#include "race/SetupModel.h"
#include "support/Brackets.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"
#include "support/SessionRig.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;
using State = RaceSession::State;

namespace {
// A race report: reaction times, raw finishes (from the lane's start signal) and traps in units
// of 0.1 ms, the timing points left at 0 unless given.
RaceReply reply(qint32 rtLeft, qint32 rtRight, qint32 finishLeft, qint32 finishRight,
                qint32 trapLeft = 0, qint32 trapRight = 0)
{
    RaceReply r{};
    r[3] = rtLeft;
    r[4] = rtRight;
    r[11] = trapLeft;
    r[12] = trapRight;
    r[13] = finishLeft;
    r[14] = finishRight;
    return r;
}

// The highest draw below 1.
const float kMax = 1.0f - 1.0f / 16777216.0f;

struct Rig : SessionRig
{
    QSignalSpy results{&session, &RaceSession::resultReady};
    QSignalSpy delays{&session, &RaceSession::delayStarted};
    Rig() { setup.setSetup(proTree()); }
    static RaceSetup proTree() { return annAgainstBob(3, "7.500", "7.250"); }
};

// Left starts before the green (RT -0.0100); right finishes 1.0400 after its start, under its
// dial-in of 1.1: a red light and a breakout, and the right lane wins.
const QByteArray kRedAndBreakout = "0\n0\n-100\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n"
                                   "10700\n10500\n10800\n0\n0\n0\n0\n!\n";
// The left lane never reaches the finish: no winner.
const QByteArray kNoFinish = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                             "0\n10800\n0\n0\n0\n0\n!\n";

// The board following a session.
struct BoardRig : SessionRig
{
    Scoreboard board;

    BoardRig() { board.follow(session, setup, settings); }

    void race(const RaceSetup& s, const QByteArray& report)
    {
        port.answers.insert("N\n", report);
        port.answers.insert("P\n", report);
        setup.setSetup(s);
        reach(RaceSession::State::Shown);
    }
};

RaceSetup dialInRace()
{
    RaceSetup s = annAgainstBob(2, "1.0", "1.1");
    s.dialInsShown = true;
    return s;
}

} // namespace

// The race: its result computed and decided from the unit's report, the race session from the
// setup to the result and its commit, and the board that follows it.
class TestRaceSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One race a row of winner-decisions.tsv.
    void winnerDecision_data() { addTableRows(QFINDTESTDATA("winner-decisions.tsv"), 9); }

    void winnerDecision()
    {
        QFETCH(QStringList, row);
        for (int i : {1, 4, 5, 6, 7})
            QCOMPARE(QString::number(row[i].toInt()), row[i]); // no typo read as 0
        const auto unit = [&row](int i) { return row[i].toInt(); };
        const QString expected = row[8];
        const RaceResult r = computeRace(annAgainstBob(unit(1), row[2], row[3]),
                                         reply(unit(4), unit(5), unit(6), unit(7)), testStrip(), 7);
        const WinnerDecision& w = r.decision;
        QString got = w.winner == Lane::Left    ? QStringLiteral("L")
                      : w.winner == Lane::Right ? QStringLiteral("R")
                                                : QStringLiteral("-");
        for (const auto& [name, left, right] :
             {std::tuple(" red:", w.redLightLeft, w.redLightRight),
              std::tuple(" out:", w.breakoutLeft, w.breakoutRight)})
            if (left || right)
                got += QLatin1String(name) + (left ? "L" : "") + (right ? "R" : "");
        QCOMPARE(got, expected);

        // The win is written into both records and lights the winner's lane; no winner, no text.
        const QString written = r.left.Result + u'/' + r.right.Result + u' ' + r.winLight;
        QCOMPARE(written, expected[0] == u'L'   ? QStringLiteral("Win/Lost GL81")
                          : expected[0] == u'R' ? QStringLiteral("Lost/Win GR81")
                                                : QStringLiteral("/ "));
    }

    void timesAndMarginsAreSingleAtEveryStep()
    {
        RaceReply r = reply(5000, 4000, 45678, 98765, 45000, 98000);
        r[5] = 20000;
        r[6] = 19000;
        r[9] = 75000;
        const RaceResult res = computeRace(annAgainstBob(2, "9.123", "1.017"), r, testStrip(), 3);
        const RaceRecord& L = res.left;
        const RaceRecord& R = res.right;
        QCOMPARE(L.RaceNumber, qint16(3));
        QCOMPARE(R.Lane, QStringLiteral("R"));
        QCOMPARE(R.Car, QStringLiteral("Blue"));
        QCOMPARE(bits(L.ReactionTime), 0x3f000000u);   // 0.5
        QCOMPARE(bits(L.TimingPoint[0]), 0x3fc00000u); // 2.0 - 0.5
        QCOMPARE(bits(L.TimingPoint[1]), 0xbf000000u); // a point the unit left at 0
        QCOMPARE(bits(L.TimingPoint[2]), 0x40e00000u); // 7.5 - 0.5
        QCOMPARE(bits(L.TimingPoint[3]), 0u);
        QCOMPARE(bits(res.trapTimeLeft), 0x40900000u); // 4.5
        // Margins from the raw finish times and the dial-ins, each difference and the sum
        // rounded to single; worked in double the last bit differs.
        QCOMPARE(bits(L.WinMargin), 0x4156a29cu);
        QCOMPARE(bits(R.WinMargin), 0xc156a29cu);
        QCOMPARE(bits(L.DialIn), bits(9.123f));
        // ET: raw finish minus RT, in single.
        QCOMPARE(bits(L.ElapsedTime), bits(4.5678f - 0.5f));
        QCOMPARE(bits(R.ElapsedTime), bits(9.8765f - 0.4f));
    }

    void trapSpeeds()
    {
        // 12 inches in 0.01 s (finish 1.0500, trap 1.0400) is 68.18... miles per hour.
        const RaceResult r = computeRace(
            annAgainstBob(0), reply(500, 400, 10500, 10800, 10400, 10700), testStrip(), 1);
        QCOMPARE(bits(r.left.Speed), 0x42885d20u);
        QCOMPARE(r.lanes[0].speed, QStringLiteral("68.18"));
        QCOMPARE(ComputeSpeed(0.0f, 12, 1, false), 0.0f);
        QVERIFY(ComputeSpeed(-0.01f, 12, 1, false) < 0.0f);
        QCOMPARE(bits(ComputeSpeed(0.01f, 100, 1, true)), bits(360.0f));
        QCOMPARE(speedText(360.0f), QStringLiteral("360.0"));
        QCOMPARE(speedText(100.0f), QStringLiteral("100.00"));
        QCOMPARE(speedText(100.5f), QStringLiteral("100.5"));
    }

    void theResultAsShown()
    {
        DragSettings s = testStrip();
        RaceReply r = reply(-60, 440, 9500, 9940, 9400, 9800);
        r[5] = 1200;
        r[6] = 1700;
        RaceResult res = computeRace(annAgainstBob(2, "7.5", "9.25"), r, s, 12);
        QCOMPARE(res.caption, QStringLiteral("Statistics - Race # 12"));
        QCOMPARE(res.classHeading, QStringLiteral("Class: Stock"));
        QCOMPARE(res.speedHeading, QStringLiteral("MPH"));
        QCOMPARE(res.sensorNames, QStringLiteral("10 ft\n20 ft\n40 ft"));
        QCOMPARE(res.timingFontSize, 40);
        const LaneDisplay& L = res.lanes[0];
        const LaneDisplay& R = res.lanes[1];
        QCOMPARE(L.reactionTime, QStringLiteral("-0.0060"));
        QCOMPARE(L.reactionTimeColour, kColourRed);
        QCOMPARE(R.reactionTimeColour, kColourLightGrey);
        QCOMPARE(L.elapsedTimeColour, kColourYellow); // 0.9560 under a dial-in of 7.500
        QCOMPARE(R.nameColour, kColourGreen);
        QCOMPARE(R.carColour, kColourGreen);
        QCOMPARE(L.nameColour, kColourLightGrey);
        QCOMPARE(L.timingPoints, QStringLiteral("0.1260\n0.0060\n0.0060"));
        QCOMPARE(L.handicap, QStringLiteral("Dial-In 7.500"));
        QCOMPARE(R.handicap, QStringLiteral("Dial-In 9.250"));
        // Only a margin above 0 is shown: 7.5 - 9.25 + 0.044 is below.
        QCOMPARE(L.winMargin, QString());
        QCOMPARE(R.winMargin, QStringLiteral("1.7060"));

        s.Metric = true;
        s.NumberOfSensors = 5;
        res = computeRace(annAgainstBob(4, "7.5", "7.5"), r, s, 1);
        QCOMPARE(res.speedHeading, QStringLiteral("KPH"));
        QCOMPARE(res.timingFontSize, 23);
        QCOMPARE(res.lanes[1].handicap, QStringLiteral("Index 7.500"));
        s.NumberOfSensors = 2;
        res = computeRace(annAgainstBob(3, "x", "y"), r, s, 1);
        QCOMPARE(res.timingFontSize, 0);
        QCOMPARE(res.lanes[0].handicap, QString());
        QCOMPARE(bits(res.left.DialIn), 0u);
        QCOMPARE(res.lanes[0].elapsedTimeColour, kColourLightGrey);
    }

    // One event a row of session-transitions.tsv: the state before, the event, the bytes the
    // unit gets meanwhile and the state after, with the races the log and the store then hold.
    void transitions_data() { addTableRows(QFINDTESTDATA("session-transitions.tsv"), 8); }

    void transitions()
    {
        QFETCH(QStringList, row);
        const QStringList states{"Idle", "Checking", "Delay", "Awaiting", "Shown"};
        QVERIFY(states.contains(row[1]) && states.contains(row[4]));
        const auto before = State(states.indexOf(row[1]));
        const auto after = State(states.indexOf(row[4]));
        Rig rig;
        rig.reach(before);
        QCOMPARE(rig.session.state(), before);
        rig.port.writes.clear();
        rig.delays.clear();
        const QString& event = row[2];
        const bool quitWhileChecking = event == u"quit-while-checking";
        if (event == u"start-no-class" || quitWhileChecking) {
            RaceSetup s = Rig::proTree();
            (quitWhileChecking ? s.racerLeft : s.className).clear();
            rig.setup.setSetup(s);
        }
        if (quitWhileChecking) {
            // The quit comes while the check's message is up: the start ends there.
            rig.prompter.whileShown = [&](const MessageBox&) {
                QCOMPARE(rig.session.state(), State::Checking);
                rig.session.quit();
            };
            rig.session.start();
        } else if (event.startsWith(u"start")) {
            rig.session.start();
        } else if (event == u"end-delay") {
            // The report is held back, so the wait shows.
            rig.port.answers.clear();
            rig.session.endDelay();
            QTest::qWait(20);
        } else if (event == u"reply" || event == u"time-limit") {
            if (event == u"reply")
                rig.port.arrive(kReport);
            rig.finish(after);
        } else if (event == u"commit") {
            rig.session.commit();
        } else {
            QCOMPARE(event, QStringLiteral("quit"));
            rig.session.quit();
            // A report arriving late, or the delay's end, must find nothing to finish.
            rig.port.arrive(kReport);
            rig.session.endDelay();
            QTest::qWait(20);
        }
        QCOMPARE(rig.port.written(), row[3].toLatin1());
        QCOMPARE(rig.delays.size(), before == State::Idle && after == State::Delay ? 1 : 0);
        QCOMPARE(rig.session.state(), after);
        QCOMPARE(QString::number(rig.log.races()), row[5]);
        QCOMPARE(rig.store.calls, row[6].split(u'|', Qt::SkipEmptyParts));
        QCOMPARE(rig.prompter.texts(), row[7].split(u'|', Qt::SkipEmptyParts));
        // The unit is the race's from Start Race until the session is idle again.
        QCOMPARE(rig.unit.holder() == TimingUnit::Holder::Race, after != State::Idle);
    }

    // One setup a row of setup-checks.tsv: the first check it fails stops the race there.
    void checksStopTheRaceInTheirOrder_data()
    {
        addTableRows(QFINDTESTDATA("setup-checks.tsv"), 6);
    }

    void checksStopTheRaceInTheirOrder()
    {
        QFETCH(QStringList, row);
        RaceSetup s = Rig::proTree();
        for (const QString& change : row[1].split(u'|')) {
            const QString field = change.section(u'=', 0, 0);
            const QString value = change.section(u'=', 1);
            QString* texts[] = {&s.raceCaption, &s.className, &s.racerLeft, &s.racerRight};
            const QStringList names{"raceCaption", "className",   "racerLeft",   "racerRight",
                                    "dialInLeft",  "dialInRight", "dialInsShown"};
            QVERIFY2(names.contains(field), qPrintable(field));
            const qsizetype i = names.indexOf(field);
            if (i < 4)
                *texts[i] = value;
            else if (i < 6)
                (i == 4 ? s.dialInLeft : s.dialInRight) = DialIn(value);
            else
                s.dialInsShown = value == u"true";
        }
        Rig rig;
        rig.setup.setSetup(s);
        const QStringList focus{"None",       "Class",      "RacerLeft",
                                "RacerRight", "DialInLeft", "DialInRight"};
        QCOMPARE(int(rig.session.start()), int(focus.indexOf(row[5])));
        QCOMPARE(rig.prompter.texts(), row[2].isEmpty() ? QStringList() : QStringList{row[2]});
        if (!row[2].isEmpty()) {
            QCOMPARE(rig.prompter.messages[0].title, row[3]);
            // Only the zero dial-ins offer Cancel, and it stops the race all the same.
            QCOMPARE(rig.prompter.messages[0].buttons,
                     row[4] == u"OkCancel" ? Buttons::OkCancel : Buttons::Ok);
        }
        QVERIFY(rig.port.writes.isEmpty());
        QCOMPARE(rig.delays.size(), 0);
        QCOMPARE(rig.session.state(), State::Idle);
    }

    // One race a row of tree-commands.tsv.
    void commandsFollowTheTreeAndTheStaging_data()
    {
        addTableRows(QFINDTESTDATA("tree-commands.tsv"), 5);
    }

    void commandsFollowTheTreeAndTheStaging()
    {
        QFETCH(QStringList, row);
        const int tree = row[1].toInt();
        QCOMPARE(QString::number(tree), row[1]);
        const bool preStageStage = row[2] == u"true";
        QVERIFY(preStageStage || row[2] == u"false");
        const QByteArray beforeDelay = row[3].toLatin1();
        const QByteArray afterDelay = row[4].toLatin1();
        Rig rig;
        DragSettings settings;
        settings.PreStageStage = preStageStage;
        rig.settings.replace(settings);
        RaceSetup s = Rig::proTree();
        s.treeIndex = static_cast<qint16>(tree);
        rig.setup.setSetup(s);
        rig.session.start();
        QCOMPARE(rig.port.written(), beforeDelay);
        rig.session.endDelay();
        rig.finish(afterDelay.isEmpty() ? State::Idle : State::Shown);
        QCOMPARE(rig.port.written(), beforeDelay + afterDelay);
    }

    void theResultAndItsCommit()
    {
        Rig rig;
        rig.reach(State::Shown);
        QCOMPARE(rig.results.size(), 1);
        // The result's numbers are the race result's to test; the race's number is the log's.
        QCOMPARE(rig.session.result().caption, QStringLiteral("Statistics - Race # 1"));
        QCOMPARE(rig.log.raceCounter(), qint16(1));
        // The lanes' names are now the race's: a reloaded list shows them.
        QCOMPARE(rig.setup.laneNames(), (LaneNames{"Stock", "Ann", "Bob", "Red", "Blue"}));
        rig.session.commit();
        rig.session.commit();
        QCOMPARE(rig.log.count(), 2);
        QCOMPARE(rig.log.record(1).Racer, QStringLiteral("Bob"));
        rig.session.resetUnit();
        QCOMPARE(rig.port.writes.last(), QByteArray("O\n"));

        // A report whose number does not fit 32 bits is reported, not shown.
        rig.port.answers.insert("P\n", "0\n0\n99999999999\n400\n!\n");
        rig.prompter.clear();
        rig.reach(State::Delay);
        rig.session.endDelay();
        rig.finish(State::Idle);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("Overflow")});
        QCOMPARE(rig.results.size(), 1);

        // A winner lamp that fails is reported; the result stays and is committed.
        rig.prompter.clear();
        rig.port.answers.insert("P\n", kReport);
        rig.port.failing.append("GL81\n");
        rig.reach(State::Shown);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("The device is not ready")});
        QCOMPARE(rig.results.size(), 2);
    }

    // A pair of an event round: its empty lane and a full log stop nothing, its solo racer wins
    // whatever the run shows, and the pairing goes with its one pass. Swapped racers swap it;
    // other racers make a free race.
    void anEventPairRacesSoloPastAFullLog()
    {
        Rig rig;
        for (int i = 0; i < RaceLog::kMaxRaces; ++i)
            rig.log.append({}, {});
        RaceSetup s = Rig::proTree();
        s.racerLeft.clear();
        const EventPairing solo{"Club", "Stock",     EventPairing::Stage::Eliminations,
                                0,      2,           "E1",
                                {0, 8}, {"", "Bob"}, true};
        rig.setup.callPair(s, solo);
        rig.reach(State::Shown);
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.port.writes.last(), QByteArray("GR81\n"));
        QCOMPARE(rig.store.calls, QStringList{QStringLiteral("shown 1 E1 /bye")});
        QVERIFY(!rig.setup.pairing());
        rig.session.commit();

        EventPairing pair = solo;
        pair.entries = {7, 8};
        pair.racers = {"Ann", "Bob"};
        rig.setup.callPair(Rig::proTree(), pair);
        s = Rig::proTree();
        std::swap(s.racerLeft, s.racerRight);
        rig.setup.setSetup(s);
        QCOMPARE(rig.setup.pairing()->entries, (std::array<qint64, 2>{8, 7}));
        s.racerLeft = QStringLiteral("Cy");
        rig.setup.setSetup(s);
        QVERIFY(!rig.setup.pairing());
        rig.session.start();
        QCOMPARE(rig.prompter.texts().size(), 1); // the full log stops a free race
    }

    // The store's failure is told once a run; racing goes on and the log keeps every race.
    void aFailingStoreIsToldOnce()
    {
        Rig rig;
        QSignalSpy failed(&rig.session, &RaceSession::storeFailed);
        rig.store.failing = true;
        for (int race = 0; race < 2; ++race) {
            rig.reach(State::Shown);
            rig.session.commit();
        }
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toString(), QStringLiteral("No space left on device"));
        QCOMPARE(rig.log.races(), 2);
        QVERIFY(!rig.store.keptAll());
    }

    // That each race takes a credit while the coin box is installed, and none left or no file
    // stops Start Race, is a scenario (main-coin-each-race-takes-a-credit.scn), as are a missing
    // file made with no credits (damaged-credits.scn) and a coin shown (main-coin-buys-races.scn).
    void coins()
    {
        QTemporaryDir dir;
        Credits credits{ProgramFolder(dir.path())};
        // No file: the coin is not taken, and nothing is shown.
        QVERIFY(!credits.insertCoin(3));
        QCOMPARE(credits.text(), QStringLiteral("0 Credits"));
        const QString file = dir.filePath(kCreditsFileName);
        writeFile(file, "32764\r\n");
        QVERIFY(credits.insertCoin(3));
        QCOMPARE(fileBytes(file), QByteArray("32767\r\n"));
        // A count past 32767 is refused and changes nothing.
        QVERIFY(!credits.insertCoin(1));
        QCOMPARE(fileBytes(file), QByteArray("32767\r\n"));
    }

    // That a demo race sends nothing, and shows the times of its draws, is a scenario
    // (main-demo-and-help-from-the-menus.scn): here it goes through the delay, reseeds its draws
    // from the clock once and decides as a race does.
    void aDemoRaceReseedsItsDraws()
    {
        Rig rig;
        rig.unit.setDemoMode(true);
        rig.random.queue({0.0f, 0.1f}); // a left red light against 0.0040
        rig.session.start();
        QCOMPARE(rig.session.state(), State::Delay);
        rig.session.endDelay();
        QCOMPARE(rig.session.state(), State::Shown);
        QCOMPARE(rig.random.reseeds, 1);
        QCOMPARE(rig.session.result().winLight, QByteArray("GR81"));
    }

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

    void thePairingBeingSetUpShowsWithItsHandicaps()
    {
        BoardRig rig;
        QSignalSpy changes(&rig.board, &Scoreboard::changed);
        RaceSetup s = dialInRace();
        s.dialInRight = QStringLiteral("7.5x");
        rig.setup.setSetup(s);
        // Told once: the same setup again changes nothing.
        rig.setup.setSetup(s);
        QCOMPARE(changes.count(), 1);
        const auto& lanes = rig.board.lanes();
        QCOMPARE(rig.board.classHeading(), QStringLiteral("Class: Stock"));
        QCOMPARE(rig.board.raceTitle(), QStringLiteral("Next Race"));
        QCOMPARE(lanes[0].racer, QStringLiteral("Ann"));
        QCOMPARE(lanes[1].car, QStringLiteral("Blue"));
        // Not a number, or numeric but beyond a single: shown as typed, as the race will not
        // start with it.
        for (const auto& [tree, right, shown] :
             {std::tuple(2, "7.5x", "Dial-In 1.000|Dial-In 7.5x"),
              std::tuple(4, "1e39", "Index 1.000|Index 1e39"), std::tuple(3, "1e39", "|")}) {
            s.treeIndex = qint16(tree);
            s.dialInRight = QString::fromLatin1(right);
            rig.setup.setSetup(s);
            QCOMPARE(lanes[0].handicap + u'|' + lanes[1].handicap, QString::fromLatin1(shown));
        }
        QCOMPARE(rig.board.speedHeading(), QStringLiteral("MPH"));
        DragSettings metric;
        metric.Metric = true;
        rig.settings.replace(metric);
        QCOMPARE(rig.board.speedHeading(), QStringLiteral("KPH"));
    }

    void aResultKeepsTheBoardUntilItsWindowClosesAndThePairingChanges()
    {
        BoardRig rig;
        rig.setup.setSetup(dialInRace());
        rig.race(dialInRace(), kRedAndBreakout);
        const auto& lanes = rig.board.lanes();
        // The result's texts and colours on the board are checked in its scenario, for this race;
        // here only what the next pairing must clear.
        QVERIFY(rig.board.showsResult());
        QCOMPARE(lanes[0].reactionTime, QStringLiteral("-0.0100"));
        QCOMPARE(lanes[0].reactionTimeColour, kColourRed);

        // The operator sets up the next pair while the result is on screen: the crowd still
        // reads the race just run, until its window closes.
        RaceSetup next = dialInRace();
        next.racerLeft = QStringLiteral("Cy");
        rig.setup.setSetup(next);
        QCOMPARE(lanes[0].racer, QStringLiteral("Ann"));
        rig.session.commit();
        QVERIFY(!rig.board.showsResult());
        QCOMPARE(lanes[0].racer, QStringLiteral("Cy"));
        QCOMPARE(lanes[0].reactionTime, QString());
        QCOMPARE(lanes[0].reactionTimeColour, kColourLightGrey);
        QCOMPARE(rig.board.raceTitle(), QStringLiteral("Next Race"));

        // A rematch keeps the result up after the commit, also when a dial-in is only retyped
        // in its full form; a new pairing then takes the board.
        rig.race(next, kReport);
        rig.session.commit();
        QVERIFY(rig.board.showsResult());
        next.dialInLeft = QStringLiteral("1.000");
        rig.setup.setSetup(next);
        QVERIFY(rig.board.showsResult());
        QCOMPARE(rig.board.raceTitle(), QStringLiteral("Race # 2"));
        next.carRight = QStringLiteral("Green");
        rig.setup.setSetup(next);
        QVERIFY(!rig.board.showsResult());
        QCOMPARE(lanes[1].car, QStringLiteral("Green"));
    }

    void theLastFiveRacesNewestFirst()
    {
        BoardRig rig;
        // Without a handicap an unfinished lane is no breakout, and no one wins.
        const std::pair<QByteArray, int> runs[] = {{kReport, 2},   {kRedAndBreakout, 2},
                                                   {kNoFinish, 3}, {kNoFinish, 2},
                                                   {kReport, 3},   {kRedAndBreakout, 2}};
        QStringList verdicts;
        for (const auto& [report, tree] : runs) {
            RaceSetup s = dialInRace();
            s.treeIndex = tree;
            rig.race(s, report);
            rig.session.commit();
            const auto& lanes = rig.board.lanes();
            verdicts << lanes[0].verdict + u'|' + lanes[1].verdict;
        }
        // A winner that broke out says so; with a dial-in the unfinished lane counts as under
        // it, yet did not finish.
        QCOMPARE(verdicts, QStringList({"BREAKOUT|BREAKOUT", "RED LIGHT|BREAKOUT", "DNF|",
                                        "DNF|BREAKOUT", "WIN|", "RED LIGHT|BREAKOUT"}));
        const QList<BoardRace>& races = rig.board.lastRaces();
        QCOMPARE(races.size(), 5);
        QCOMPARE(races[0].title, QStringLiteral("Race # 6"));
        QCOMPARE(races[4].title, QStringLiteral("Race # 2"));
        QCOMPARE(races[0].winner, Lane::Right);
        QCOMPARE(races[1].winner, Lane::Left);
        QCOMPARE(races[3].winner, Lane::None);
        QCOMPARE(races[3].elapsedTimes[0], QStringLiteral("0.0000"));
        QCOMPARE(races[3].elapsedTimes[1], QStringLiteral("1.0400"));
        QCOMPARE(races[4].racers[1], QStringLiteral("Bob"));
        QCOMPARE(races[4].elapsedTimes[0], QStringLiteral("1.0600"));
    }

    // One board a row of ladder-columns.tsv: the ladder shows the round being run when it
    // cannot show all.
    void ladderColumnsShown_data() { addTableRows(QFINDTESTDATA("ladder-columns.tsv"), 5); }
    void ladderColumnsShown()
    {
        QFETCH(QStringList, row);
        BracketSheet sheet;
        if (row[1] == u"blank") {
            sheet = ladderOf(8, 0);
            sheet.rounds[0].pairs.assign(4, {});
        } else if (row[1] == u"odd") {
            sheet = ladderOf(2, 0);
            sheet.rounds.push_back({QString(), std::vector<BracketPair>(4)});
            sheet.rounds.push_back({});
        } else if (row[1] != u"none") {
            sheet = ladderOf(row[1].section(u'/', 0, 0).toInt(), row[1].section(u'/', 1).toInt());
        }
        QStringList shown;
        for (const LadderColumn& c : ladderColumns(sheet, row[2].toInt(), row[3].toInt()))
            shown << QStringLiteral("%1:%2-%3").arg(c.round).arg(c.firstPair).arg(c.endPair);
        QCOMPARE(shown.join(u' '), row[4]);
    }
};

QTEST_GUILESS_MAIN(TestRaceSession)
#include "tst_race_session.moc"
