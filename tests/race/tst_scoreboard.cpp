#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "race/Colours.h"
#include "race/Credits.h"
#include "race/LadderColumns.h"
#include "race/RaceSession.h"
#include "race/Scoreboard.h"
#include "support/Brackets.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"
#include "support/SessionRig.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

// Left starts before the green (RT -0.0100); right finishes 1.0400 after its start, under its
// dial-in of 1.1: a red light and a breakout, and the right lane wins.
const QByteArray kRedAndBreakout = "0\n0\n-100\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n"
                                   "10700\n10500\n10800\n0\n0\n0\n0\n!\n";
// The left lane never reaches the finish: no winner.
const QByteArray kNoFinish = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                             "0\n10800\n0\n0\n0\n0\n!\n";

struct Rig : SessionRig
{
    Scoreboard board;

    Rig() { board.follow(session, setup, settings); }

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

class TestScoreboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thePairingBeingSetUpShowsWithItsHandicaps()
    {
        Rig rig;
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
        QCOMPARE(lanes[0].handicap, QStringLiteral("Dial-In 1.000"));
        // Not a number: shown as typed, as the race will not start with it.
        QCOMPARE(lanes[1].handicap, QStringLiteral("Dial-In 7.5x"));
        QCOMPARE(lanes[0].reactionTime, QString());
        QCOMPARE(lanes[1].nameColour, kColourLightGrey);

        s.treeIndex = 4;
        s.dialInRight = QStringLiteral("1e39"); // numeric, but beyond a single
        rig.setup.setSetup(s);
        QCOMPARE(lanes[0].handicap, QStringLiteral("Index 1.000"));
        QCOMPARE(lanes[1].handicap, QStringLiteral("Index 1e39"));
        s.treeIndex = 3;
        rig.setup.setSetup(s);
        QCOMPARE(lanes[0].handicap, QString());
        QCOMPARE(lanes[1].handicap, QString());
        QCOMPARE(rig.board.speedHeading(), QStringLiteral("MPH"));
        DragSettings metric;
        metric.Metric = true;
        rig.settings.replace(metric);
        QCOMPARE(rig.board.speedHeading(), QStringLiteral("KPH"));
    }

    void aResultKeepsTheBoardUntilItsWindowClosesAndThePairingChanges()
    {
        Rig rig;
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
        Rig rig;
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

    void aLadderShowsTheRoundBeingRunWhenItCannotShowAll()
    {
        // Sheets no ladder draws must still not take the board down.
        BracketSheet odd = ladderOf(2, 0);
        odd.rounds.push_back({QString(), std::vector<BracketPair>(4)});
        odd.rounds.push_back({});
        BracketSheet blank = ladderOf(8, 0);
        blank.rounds[0].pairs.assign(4, {});
        // Columns shown as round:first-end.
        const std::tuple<BracketSheet, int, int, const char*> rows[] = {
            {ladderOf(8, 0), 4, 3, "0:0-4 1:0-2 2:0-1"},
            // Three rows hold a block of two: the fourth pair runs beside the third.
            {ladderOf(16, 3), 3, 4, "0:2-4 1:1-2 2:0-1 3:0-1"},
            {ladderOf(16, 7), 1, 4, "0:7-8 1:3-4 2:1-2 3:0-1"},
            {ladderOf(16, 8), 4, 4, "1:0-4 2:0-2 3:0-1"},
            {ladderOf(16, 0), 8, 2, "0:0-8 1:0-4"},
            {ladderOf(4, 3), 1, 1, "1:0-1"},
            {ladderOf(4, 0), 0, 4, ""},
            {blank, 2, 3, "0:0-2 1:0-1 2:0-1"},
            {odd, 2, 3, "0:0-1 1:0-1 2:0-0"},
            {{}, 4, 4, ""}};
        for (const auto& [sheet, pairRows, roundColumns, expected] : rows) {
            QStringList shown;
            for (const LadderColumn& c : ladderColumns(sheet, pairRows, roundColumns))
                shown << QStringLiteral("%1:%2-%3").arg(c.round).arg(c.firstPair).arg(c.endPair);
            QCOMPARE(shown.join(u' '), QLatin1String(expected));
        }
    }
};

QTEST_MAIN(TestScoreboard)
#include "tst_scoreboard.moc"
