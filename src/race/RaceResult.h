#pragma once

#include "data/DragSettings.h"
#include "data/EventPairing.h"
#include "data/RaceLog.h"
#include "link/ReplyParser.h"
#include "race/RaceSetup.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace halvex {

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

// The two records of a race as computed from the unit's report, before the winner decision.
struct ComputedRace
{
    RaceRecord left;
    RaceRecord right;
    float trapTimeLeft = 0;
    float trapTimeRight = 0;
};

// One lane as the statistics window shows it: texts, and background colours (light grey unless
// a red light, a breakout or the win marks the label).
struct LaneDisplay
{
    QString name;
    QString car;
    QString reactionTime;
    QString elapsedTime;
    QString winMargin; // empty: the label keeps its caption
    QString speed;
    QString timingPoints;
    QString handicap; // "Dial-In 7.500", "Index 7.500" or empty
    qint32 nameColour = 0;
    qint32 carColour = 0;
    qint32 reactionTimeColour = 0;
    qint32 elapsedTimeColour = 0;
};

// Everything the statistics window, the time slip and the race data grid read of a race.
struct RaceResult
{
    RaceSetup setup;
    // The log records of the race, result texts included.
    RaceRecord left;
    RaceRecord right;
    float trapTimeLeft = 0;
    float trapTimeRight = 0;
    WinnerDecision decision;
    QByteArray winLight; // "GL81", "GR81", or empty when no winner was decided
    QString caption;     // "Statistics - Race # n"
    QString classHeading;
    QString speedHeading; // "MPH" or "KPH"
    QString sensorNames;
    int timingFontSize = 0; // 0 keeps the designed size
    std::array<LaneDisplay, 2> lanes;
    // Each lane's result in a word the event keeps: "win", "loss", "solo", "bye", "red light",
    // "breakout", "did not finish"; empty for an empty lane or a race nobody won.
    std::array<QString, 2> outcomes;
    // The event round's pair the race ran, if it was one.
    std::optional<EventPairing> pairing;
};

// Trap speed in miles per hour (distance in inches) or kilometres per hour (centimetres); a time
// of exactly 0 gives 0. Worked in double from single inputs, returned as single.
float ComputeSpeed(float time, float distance, float multiplier, bool metric);

// The lanes' reaction times, timing points, trap speeds, elapsed times and win margins.
ComputedRace processTimes(const RaceSetup& setup, const RaceReply& reply,
                          const DragSettings& settings, qint16 raceNumber);

// Red lights, breakouts and the winner; on trees without handicap the dial-ins count as 0.
WinnerDecision decideWinner(int treeIndex, const RaceRecord& left, const RaceRecord& right);

// Decides a pair of an event round further than decideWinner: its solo racer wins whatever the
// run shows; unless a red light settles it, a lane that finished beats one that did not, and
// neither finishing decides nothing (the pair is rerun or decided by the operator).
void applyEventRules(WinnerDecision& decision, const RaceRecord& left, const RaceRecord& right,
                     const EventPairing& pairing);

// A lane's result in the word the event keeps (lane 0 left).
QString outcomeWord(const WinnerDecision& decision, const RaceRecord& record, int lane,
                    const std::optional<EventPairing>& pairing);

// The whole race: computed, decided, with "Win" / "Lost" in the records, and the texts and
// colours to show; a pair of an event round under applyEventRules.
RaceResult computeRace(const RaceSetup& setup, const RaceReply& reply, const DragSettings& settings,
                       qint16 raceNumber, const std::optional<EventPairing>& pairing = {});

} // namespace halvex
