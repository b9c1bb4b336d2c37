#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

struct HandicapDelays
{
    qint16 left = 0;
    qint16 right = 0;
};

// The start delays of "A" in units of 0.1 ms: the lane with the smaller dial-in is held back by
// the difference. Throws an overflow Failure for a difference beyond 3.2767 s.
HandicapDelays handicapDelays(float leftDialIn, float rightDialIn);
// The two number lines written after the "A" line, in one write.
QByteArray handicapLines(const HandicapDelays& delays);
// The count-down line written right after "B": seconds in units of 0.1 ms.
QByteArray countdownLine(float seconds);

} // namespace halvex
