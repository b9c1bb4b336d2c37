#pragma once

#include "data/DragSettings.h"
#include "link/ReplyParser.h"

#include <QList>
#include <QString>

#include <optional>

namespace halvex {

// Where the unit reports one lane's sensor: in which of its two masks (1 or 2), at which bit
// value. The even bit of a pair is the left lane, the odd bit the right lane.
struct DiagLamp
{
    int mask = 1;
    int bit = 0;

    bool operator==(const DiagLamp&) const = default;
};

// One row of the diagnostics window: the sensor's name and the lamps of both lanes.
struct DiagRow
{
    QString name;
    DiagLamp left;
    DiagLamp right;
};

// The number of intermediate sensors shown: NumberOfSensors held to 1 to 3, so that a hand-edited
// settings file never runs a row past the window's lamps.
int diagSensorCount(int numberOfSensors);

// The rows from the finish line back to pre-stage: 4 + N of them, intermediate sensor k in row
// N - k + 2, named by the distance the operator entered for it.
QList<DiagRow> diagRows(const DragSettings& settings);

// The window's height for N intermediate sensors, in twips.
inline int diagHeightTwips(int sensorCount)
{
    return sensorCount * 900 + 4200;
}

// Which lamps of each row the unit reports blocked (true: green). Nothing when a mask is outside
// 0 to 255: such a reply is malformed and the lamps keep what they show.
struct DiagLampStates
{
    QList<bool> left;
    QList<bool> right;
};
std::optional<DiagLampStates> diagLampStates(const QList<DiagRow>& rows, const DiagReply& reply);

} // namespace halvex
