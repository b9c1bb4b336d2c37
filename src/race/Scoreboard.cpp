#include "race/Scoreboard.h"

#include "data/Numbers.h"
#include "data/Settings.h"
#include "platform/Failure.h"
#include "race/Colours.h"
#include "race/RaceSession.h"
#include "race/ResultDisplay.h"
#include "race/SetupModel.h"

#include <tuple>
#include <utility>

namespace halvex {

namespace {

// The handicap as the statistics window will show it once the race is in; a value that is no
// number is shown as typed, since the race will not start with it anyway.
QString handicapText(int treeIndex, const DialIn& value)
{
    if (!isHandicapTree(treeIndex))
        return {};
    const QString word = treeIndex == 2 ? QStringLiteral("Dial-In ") : QStringLiteral("Index ");
    return word + (value.value ? dialInText(*value.value) : value.text);
}

std::array<BoardLane, 2> setupLanes(const RaceSetup& s)
{
    std::array<BoardLane, 2> lanes;
    lanes[0].racer = s.racerLeft;
    lanes[1].racer = s.racerRight;
    lanes[0].car = s.carLeft;
    lanes[1].car = s.carRight;
    lanes[0].handicap = handicapText(s.treeIndex, s.dialInLeft);
    lanes[1].handicap = handicapText(s.treeIndex, s.dialInRight);
    for (BoardLane& lane : lanes)
        lane.nameColour = lane.carColour = lane.reactionTimeColour = lane.elapsedTimeColour =
            kColourLightGrey;
    return lanes;
}

// Whether two setups put the same pairing on the board: a dial-in retyped as 1.500 from 1.5, or
// the tree changed between two trees without handicap, is the same race to the crowd.
bool samePairing(const RaceSetup& a, const RaceSetup& b)
{
    if (a.className != b.className)
        return false;
    const auto la = setupLanes(a);
    const auto lb = setupLanes(b);
    for (int i = 0; i < 2; ++i) {
        if (la[i].racer != lb[i].racer || la[i].car != lb[i].car ||
            la[i].handicap != lb[i].handicap)
            return false;
    }
    return true;
}

// The first that applies: a red light loses whatever the lane ran, and a breakout explains a
// winner that ran under its dial-in, so each goes before the win; a lane that never reached the
// finish says so only when nothing else does, since a red light or the other lane's red light
// decided its race. The decision counts an unfinished lane (ET 0) as under its dial-in, but to
// the crowd that car did not finish rather than run too quick.
std::pair<QString, qint32> verdictOf(const RaceResult& result, Lane lane)
{
    const bool left = lane == Lane::Left;
    const WinnerDecision& d = result.decision;
    const bool finished = (left ? result.left : result.right).ElapsedTime != 0;
    if (left ? d.redLightLeft : d.redLightRight)
        return {QStringLiteral("RED LIGHT"), kColourRed};
    if ((left ? d.breakoutLeft : d.breakoutRight) && finished)
        return {QStringLiteral("BREAKOUT"), kColourYellow};
    if (d.winner == lane)
        return {QStringLiteral("WIN"), kColourGreen};
    if (!finished)
        return {QStringLiteral("DNF"), kColourLightGrey};
    return {};
}

QString speedHeadingFor(bool metric)
{
    return metric ? QStringLiteral("KPH") : QStringLiteral("MPH");
}

} // namespace

void Scoreboard::follow(const RaceSession& session, const SetupModel& setup,
                        const Settings& settings)
{
    connect(&setup, &SetupModel::changed, this, &Scoreboard::showSetup);
    connect(&session, &RaceSession::resultReady, this, &Scoreboard::showResult);
    connect(&session, &RaceSession::pendingChanged, this, [this](bool pending) {
        if (!pending)
            releaseResult();
    });
    connect(&settings, &Settings::changed, this,
            [this, &settings] { setMetric(settings.record().Metric); });
    setMetric(settings.record().Metric);
    showSetup(setup.setup());
}

void Scoreboard::showSetup(const RaceSetup& setup)
{
    m_upcoming = setup;
    if (m_holding || (m_showsResult && samePairing(setup, m_shown)))
        return;
    displaySetup(setup);
}

void Scoreboard::displaySetup(const RaceSetup& setup)
{
    m_shown = setup;
    m_showsResult = false;
    m_lanes = setupLanes(setup);
    m_classHeading = QStringLiteral("Class: ") + setup.className;
    m_raceTitle = QStringLiteral("Next Race");
    m_speedHeading = speedHeadingFor(m_metric);
    Q_EMIT changed();
}

void Scoreboard::showResult(const RaceResult& result)
{
    m_shown = result.setup;
    m_showsResult = true;
    m_holding = true;
    for (int i = 0; i < 2; ++i) {
        const LaneDisplay& from = result.lanes[i];
        BoardLane& lane = m_lanes[i];
        lane.racer = from.name;
        lane.car = from.car;
        lane.handicap = from.handicap;
        lane.reactionTime = from.reactionTime;
        lane.elapsedTime = from.elapsedTime;
        lane.speed = from.speed;
        lane.winMargin = from.winMargin;
        lane.nameColour = from.nameColour;
        lane.carColour = from.carColour;
        lane.reactionTimeColour = from.reactionTimeColour;
        lane.elapsedTimeColour = from.elapsedTimeColour;
        std::tie(lane.verdict, lane.verdictColour) =
            verdictOf(result, i == 0 ? Lane::Left : Lane::Right);
    }
    m_classHeading = result.classHeading;
    m_raceTitle = QStringLiteral("Race # ") + QString::number(result.left.RaceNumber);
    m_speedHeading = result.speedHeading;

    BoardRace race;
    race.title = m_raceTitle;
    race.racers = {result.lanes[0].name, result.lanes[1].name};
    race.elapsedTimes = {result.lanes[0].elapsedTime, result.lanes[1].elapsedTime};
    race.winner = result.decision.winner;
    m_lastRaces.prepend(race);
    if (m_lastRaces.size() > kLastRaces)
        m_lastRaces.removeLast();
    Q_EMIT changed();
}

void Scoreboard::releaseResult()
{
    if (!std::exchange(m_holding, false))
        return;
    // The setup may have changed while the result was on screen.
    showSetup(m_upcoming);
}

void Scoreboard::setMetric(bool metric)
{
    m_metric = metric;
    // A result keeps the unit it was measured in.
    if (m_showsResult || speedHeadingFor(metric) == m_speedHeading)
        return;
    m_speedHeading = speedHeadingFor(metric);
    Q_EMIT changed();
}

void Scoreboard::forgetRaces()
{
    m_lastRaces.clear();
    Q_EMIT changed();
}

void Scoreboard::setOnDeck(const QString& text)
{
    if (text == m_onDeck)
        return;
    m_onDeck = text;
    Q_EMIT changed();
}

QString Scoreboard::onDeckLine() const
{
    return m_onDeck.isEmpty() ? QString() : QStringLiteral("On deck: ") + m_onDeck;
}

void Scoreboard::showLadder(const BracketSheet& sheet)
{
    m_ladder = sheet;
    Q_EMIT changed();
}

void Scoreboard::hideLadder()
{
    if (!m_ladder)
        return;
    m_ladder.reset();
    Q_EMIT changed();
}

} // namespace halvex
