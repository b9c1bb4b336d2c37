#include "race/RaceResult.h"

#include "data/Numbers.h"
#include "race/Colours.h"
#include "race/ResultDisplay.h"

namespace halvex {

namespace {

// A reply value in seconds: divided in double, stored as single.
float seconds(qint32 units)
{
    return static_cast<float>(units / 10000.0);
}

} // namespace

float ComputeSpeed(float time, float distance, float multiplier, bool metric)
{
    if (time == 0.0f)
        return 0.0f;
    const double perUnit = metric ? 100000.0 : 63360.0;
    return static_cast<float>(static_cast<double>(distance) * 3600.0 / perUnit /
                              static_cast<double>(time) * static_cast<double>(multiplier));
}

ComputedRace processTimes(const RaceSetup& setup, const RaceReply& r, const DragSettings& settings,
                          qint16 raceNumber)
{
    ComputedRace race;
    RaceRecord& L = race.left;
    RaceRecord& R = race.right;
    if (isHandicapTree(setup.treeIndex)) {
        L.DialIn = setup.dialInLeft.single();
        R.DialIn = setup.dialInRight.single();
    }
    L.Lane = QStringLiteral("L");
    R.Lane = QStringLiteral("R");
    L.ClassName = R.ClassName = setup.className;
    L.Racer = setup.racerLeft;
    R.Racer = setup.racerRight;
    L.Car = setup.carLeft;
    R.Car = setup.carRight;
    L.RaceNumber = R.RaceNumber = raceNumber;

    L.ReactionTime = seconds(r[3]);
    R.ReactionTime = seconds(r[4]);
    for (int p = 0; p < 3; ++p) {
        L.TimingPoint[p] = seconds(r[5 + 2 * p]) - L.ReactionTime;
        R.TimingPoint[p] = seconds(r[6 + 2 * p]) - R.ReactionTime;
    }
    race.trapTimeLeft = seconds(r[11]);
    race.trapTimeRight = seconds(r[12]);

    // Raw finish times still include the reaction time; margins and speeds are taken from them.
    L.ElapsedTime = seconds(r[13]);
    R.ElapsedTime = seconds(r[14]);
    L.WinMargin = (L.DialIn - R.DialIn) + (R.ElapsedTime - L.ElapsedTime);
    R.WinMargin = (R.DialIn - L.DialIn) + (L.ElapsedTime - R.ElapsedTime);
    L.Speed = ComputeSpeed(L.ElapsedTime - race.trapTimeLeft, settings.SpeedTrapDistance,
                           settings.SpeedMultiplier, settings.Metric);
    R.Speed = ComputeSpeed(R.ElapsedTime - race.trapTimeRight, settings.SpeedTrapDistance,
                           settings.SpeedMultiplier, settings.Metric);
    if (L.ElapsedTime != 0.0f)
        L.ElapsedTime = L.ElapsedTime - L.ReactionTime;
    if (R.ElapsedTime != 0.0f)
        R.ElapsedTime = R.ElapsedTime - R.ReactionTime;
    return race;
}

WinnerDecision decideWinner(int treeIndex, const RaceRecord& L, const RaceRecord& R)
{
    const bool handicap = isHandicapTree(treeIndex);
    const float dialLeft = handicap ? L.DialIn : 0.0f;
    const float dialRight = handicap ? R.DialIn : 0.0f;

    WinnerDecision d;
    d.redLightLeft = L.ReactionTime < 0.0f;
    d.redLightRight = R.ReactionTime < 0.0f;
    if (handicap) {
        d.breakoutLeft = L.ElapsedTime < dialLeft;
        d.breakoutRight = R.ElapsedTime < dialRight;
    }

    if (d.redLightLeft && d.redLightRight) {
        const float a = L.ReactionTime - dialLeft;
        const float b = R.ReactionTime - dialRight;
        d.winner = b >= a ? Lane::Right : Lane::Left;
    } else if (d.redLightLeft) {
        d.winner = Lane::Right;
    } else if (d.redLightRight) {
        d.winner = Lane::Left;
    } else if (d.breakoutLeft && d.breakoutRight) {
        const float l = dialLeft - L.ElapsedTime;
        const float r = dialRight - R.ElapsedTime;
        d.winner = r > l ? Lane::Left : Lane::Right;
    } else if (d.breakoutLeft) {
        d.winner = Lane::Right;
    } else if (d.breakoutRight) {
        d.winner = Lane::Left;
    } else if (L.ElapsedTime > 0.0f && R.ElapsedTime > 0.0f) {
        const float l = (L.ElapsedTime + L.ReactionTime) - dialLeft;
        const float r = (R.ElapsedTime + R.ReactionTime) - dialRight;
        d.winner = r > l ? Lane::Left : Lane::Right;
    }
    return d;
}

void applyEventRules(WinnerDecision& d, const RaceRecord& L, const RaceRecord& R,
                     const EventPairing& pairing)
{
    if (pairing.solo()) {
        d.winner = pairing.entries[0] != 0 ? Lane::Left : Lane::Right;
        return;
    }
    if (d.redLightLeft || d.redLightRight)
        return;
    const bool leftFinished = L.ElapsedTime != 0.0f;
    const bool rightFinished = R.ElapsedTime != 0.0f;
    if (leftFinished != rightFinished)
        d.winner = leftFinished ? Lane::Left : Lane::Right;
    else if (!leftFinished)
        d.winner = Lane::None;
}

QString outcomeWord(const WinnerDecision& d, const RaceRecord& rec, int lane,
                    const std::optional<EventPairing>& pairing)
{
    if (pairing && pairing->entries[size_t(lane)] == 0)
        return {};
    if (pairing && pairing->solo())
        return pairing->bye ? QStringLiteral("bye") : QStringLiteral("solo");
    if (lane == 0 ? d.redLightLeft : d.redLightRight)
        return QStringLiteral("red light");
    if (rec.ElapsedTime == 0.0f)
        return QStringLiteral("did not finish");
    if (lane == 0 ? d.breakoutLeft : d.breakoutRight)
        return QStringLiteral("breakout");
    if (d.winner == Lane::None)
        return {};
    return d.winner == (lane == 0 ? Lane::Left : Lane::Right) ? QStringLiteral("win")
                                                              : QStringLiteral("loss");
}

RaceResult computeRace(const RaceSetup& setup, const RaceReply& reply, const DragSettings& settings,
                       qint16 raceNumber, const std::optional<EventPairing>& pairing)
{
    const ComputedRace race = processTimes(setup, reply, settings, raceNumber);
    RaceResult res;
    res.setup = setup;
    res.left = race.left;
    res.right = race.right;
    res.trapTimeLeft = race.trapTimeLeft;
    res.trapTimeRight = race.trapTimeRight;
    res.decision = decideWinner(setup.treeIndex, race.left, race.right);
    res.pairing = pairing;
    if (pairing)
        applyEventRules(res.decision, race.left, race.right, *pairing);

    const WinnerDecision& d = res.decision;
    if (d.winner != Lane::None) {
        const bool left = d.winner == Lane::Left;
        res.left.Result = left ? QStringLiteral("Win") : QStringLiteral("Lost");
        res.right.Result = left ? QStringLiteral("Lost") : QStringLiteral("Win");
        res.winLight = left ? "GL81" : "GR81";
    }

    res.caption = QStringLiteral("Statistics - Race # ") + QString::number(raceNumber);
    res.classHeading = QStringLiteral("Class: ") + setup.className;
    res.speedHeading = settings.Metric ? QStringLiteral("KPH") : QStringLiteral("MPH");
    const int n = shownSensors(settings);
    res.sensorNames = sensorNameLines(settings, n);
    res.timingFontSize = timingFontSize(n);

    const QString handicapWord = setup.treeIndex == 2           ? QStringLiteral("Dial-In ")
                                 : isIndexTree(setup.treeIndex) ? QStringLiteral("Index ")
                                                                : QString();
    const RaceRecord* records[2] = {&res.left, &res.right};
    const QString names[2] = {setup.racerLeft, setup.racerRight};
    const QString cars[2] = {setup.carLeft, setup.carRight};
    const bool red[2] = {d.redLightLeft, d.redLightRight};
    const bool breakout[2] = {d.breakoutLeft, d.breakoutRight};
    const Lane lanes[2] = {Lane::Left, Lane::Right};
    for (int i = 0; i < 2; ++i) {
        const RaceRecord& rec = *records[i];
        LaneDisplay& lane = res.lanes[i];
        lane.name = names[i];
        lane.car = cars[i];
        lane.reactionTime = timeText(rec.ReactionTime);
        lane.elapsedTime = timeText(rec.ElapsedTime);
        lane.winMargin = winMarginText(rec.WinMargin);
        lane.speed = speedText(rec.Speed);
        lane.timingPoints = timingPointLines(rec, n);
        if (!handicapWord.isEmpty())
            lane.handicap = handicapWord + dialInText(rec.DialIn);
        const bool won = d.winner == lanes[i];
        lane.nameColour = lane.carColour = won ? kColourGreen : kColourLightGrey;
        lane.reactionTimeColour = red[i] ? kColourRed : kColourLightGrey;
        lane.elapsedTimeColour = breakout[i] ? kColourYellow : kColourLightGrey;
        res.outcomes[size_t(i)] = outcomeWord(d, rec, i, pairing);
    }
    return res;
}

} // namespace halvex
