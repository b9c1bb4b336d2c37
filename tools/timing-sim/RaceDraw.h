#pragma once

#include <QList>
#include <QRandomGenerator>

namespace halvex::sim {

// Number of fields in a race reply of the unit.
inline constexpr int kRaceFields = 18;

// A plausible race on a slot-car strip, as the unit reports it: 18 fields in 1/10000 s counted
// from each lane's start signal, left lane first in every pair. Fields 3/4 are the reaction
// times (about one start in twenty is a red light, a small negative time), 5 to 10 the three
// intermediate sensors, 11/12 the speed trap, 13/14 the finish (0.9 to 1.3 s including the
// reaction time). Now and then a car leaves the slot: from the sensor it did not reach onward,
// that lane's times are 0. Fields 1, 2 and 15 to 18 are 0.
QList<qint32> drawRace(QRandomGenerator& random);

} // namespace halvex::sim
