#include "race/ResultComputation.h"

#include "data/Numbers.h"
#include "platform/Failure.h"

namespace halvex {

namespace {

// A reply value in seconds: divided in double, stored as single.
float seconds(qint32 units)
{
    return static_cast<float>(units / 10000.0);
}

} // namespace

bool isHandicapTree(int treeIndex)
{
    return treeIndex == 1 || treeIndex == 2 || treeIndex == 4;
}

bool isIndexTree(int treeIndex)
{
    return treeIndex == 1 || treeIndex == 4;
}

float ComputeSpeed(float time, float distance, float multiplier, bool metric)
{
    if (time == 0.0f)
        return 0.0f;
    const double perUnit = metric ? 100000.0 : 63360.0;
    return static_cast<float>(static_cast<double>(distance) * 3600.0 / perUnit /
                              static_cast<double>(time) * static_cast<double>(multiplier));
}

TrapTimes processTimes(const RaceSetup& setup, const std::array<qint32, 19>& r,
                       const DragSettings& settings, RaceHistory& log)
{
    if (log.RaceLogCount < 0 || log.isFull())
        throw Failure(QStringLiteral("The race log is full."));
    const int n = log.RaceLogCount;
    RaceRecord& L = log.RaceLog[n];
    RaceRecord& R = log.RaceLog[n + 1];

    if (isHandicapTree(setup.treeIndex)) {
        L.DialIn = singleValue(setup.dialInLeft);
        R.DialIn = singleValue(setup.dialInRight);
    } else {
        L.DialIn = 0;
        R.DialIn = 0;
    }
    ++log.RaceCounter;

    L.Lane = QStringLiteral("L");
    R.Lane = QStringLiteral("R");
    L.ClassName = R.ClassName = setup.className;
    L.Racer = setup.racerLeft;
    R.Racer = setup.racerRight;
    L.Car = setup.carLeft;
    R.Car = setup.carRight;
    L.RaceNumber = R.RaceNumber = log.RaceCounter;

    L.ReactionTime = seconds(r[3]);
    R.ReactionTime = seconds(r[4]);
    for (int p = 0; p < 3; ++p) {
        L.TimingPoint[p] = seconds(r[5 + 2 * p]) - L.ReactionTime;
        R.TimingPoint[p] = seconds(r[6 + 2 * p]) - R.ReactionTime;
    }

    TrapTimes trap{seconds(r[11]), seconds(r[12])};

    // Raw finish times still include the reaction time; margins and speeds are taken from them.
    L.ElapsedTime = seconds(r[13]);
    R.ElapsedTime = seconds(r[14]);
    L.WinMargin = (L.DialIn - R.DialIn) + (R.ElapsedTime - L.ElapsedTime);
    R.WinMargin = (R.DialIn - L.DialIn) + (L.ElapsedTime - R.ElapsedTime);
    L.Speed = ComputeSpeed(L.ElapsedTime - trap.left, settings.SpeedTrapDistance,
                           settings.SpeedMultiplier, settings.Metric);
    R.Speed = ComputeSpeed(R.ElapsedTime - trap.right, settings.SpeedTrapDistance,
                           settings.SpeedMultiplier, settings.Metric);
    if (L.ElapsedTime != 0.0f)
        L.ElapsedTime = L.ElapsedTime - L.ReactionTime;
    if (R.ElapsedTime != 0.0f)
        R.ElapsedTime = R.ElapsedTime - R.ReactionTime;

    log.LeftResult = L;
    log.RightResult = R;
    return trap;
}

WinnerDecision decideWinner(int treeIndex, RaceHistory& log)
{
    RaceRecord& L = log.LeftResult;
    RaceRecord& R = log.RightResult;
    if (!isHandicapTree(treeIndex)) {
        L.DialIn = 0;
        R.DialIn = 0;
    }

    WinnerDecision d;
    d.redLightLeft = L.ReactionTime < 0.0f;
    d.redLightRight = R.ReactionTime < 0.0f;
    if (isHandicapTree(treeIndex)) {
        d.breakoutLeft = L.ElapsedTime < L.DialIn;
        d.breakoutRight = R.ElapsedTime < R.DialIn;
    }

    if (d.redLightLeft && d.redLightRight) {
        const float a = L.ReactionTime - L.DialIn;
        const float b = R.ReactionTime - R.DialIn;
        d.winner = b >= a ? Lane::Right : Lane::Left;
    } else if (d.redLightLeft) {
        d.winner = Lane::Right;
    } else if (d.redLightRight) {
        d.winner = Lane::Left;
    } else if (d.breakoutLeft && d.breakoutRight) {
        const float l = L.DialIn - L.ElapsedTime;
        const float r = R.DialIn - R.ElapsedTime;
        d.winner = r > l ? Lane::Left : Lane::Right;
    } else if (d.breakoutLeft) {
        d.winner = Lane::Right;
    } else if (d.breakoutRight) {
        d.winner = Lane::Left;
    } else if (L.ElapsedTime > 0.0f && R.ElapsedTime > 0.0f) {
        const float l = (L.ElapsedTime + L.ReactionTime) - L.DialIn;
        const float r = (R.ElapsedTime + R.ReactionTime) - R.DialIn;
        d.winner = r > l ? Lane::Left : Lane::Right;
    }

    if (d.winner != Lane::None) {
        const int n = log.RaceLogCount;
        const bool left = d.winner == Lane::Left;
        log.RaceLog[n].Result = left ? QStringLiteral("Win") : QStringLiteral("Lost");
        log.RaceLog[n + 1].Result = left ? QStringLiteral("Lost") : QStringLiteral("Win");
    }
    return d;
}

} // namespace halvex
