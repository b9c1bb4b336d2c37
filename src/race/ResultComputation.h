#pragma once

#include "data/DragSettings.h"
#include "data/RaceLog.h"

#include <QString>

#include <array>

namespace halvex {

// What the main window showed when the race was computed.
struct RaceSetup
{
    qint16 treeIndex = -1;
    QString className;
    QString racerLeft;
    QString racerRight;
    QString carLeft;
    QString carRight;
    QString dialInLeft;
    QString dialInRight;
};

struct TrapTimes
{
    float left = 0;
    float right = 0;
};

enum class Lane
{
    None,
    Left,
    Right
};

struct WinnerDecision
{
    bool redLightLeft = false;
    bool redLightRight = false;
    bool breakoutLeft = false;
    bool breakoutRight = false;
    Lane winner = Lane::None;
};

// Trees 1, 2 and 4 carry a handicap (index or dial-in); 0 and 3 do not.
bool isHandicapTree(int treeIndex);
bool isIndexTree(int treeIndex);

// Trap speed in miles per hour (distance in inches) or kilometres per hour (centimetres); a time
// of exactly 0 gives 0. Worked in double from single inputs, returned as single.
float ComputeSpeed(float time, float distance, float multiplier, bool metric);

// Computes the race in progress from the unit's report into the records at RaceLogCount and
// RaceLogCount + 1, counts it, and copies the two records into LeftResult and RightResult.
TrapTimes processTimes(const RaceSetup& setup, const std::array<qint32, 19>& raceReply,
                       const DragSettings& settings, RaceHistory& log);

// Red lights, breakouts and the winner of the race in progress. Clears the dial-ins of the result
// copies on trees without handicap, and writes "Win" / "Lost" into the two log records.
WinnerDecision decideWinner(int treeIndex, RaceHistory& log);

} // namespace halvex
