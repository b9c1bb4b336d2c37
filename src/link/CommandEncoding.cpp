#include "link/CommandEncoding.h"

#include "data/Numbers.h"

namespace halvex {

HandicapDelays handicapDelays(float leftDialIn, float rightDialIn)
{
    const float left = leftDialIn * 10000.0f;
    const float right = rightDialIn * 10000.0f;
    HandicapDelays d;
    if (left > right)
        d.right = roundToInt16(static_cast<float>(left - right));
    else
        d.left = roundToInt16(static_cast<float>(right - left));
    return d;
}

QByteArray handicapLines(const HandicapDelays& delays)
{
    return QByteArray::number(delays.left) + '\n' + QByteArray::number(delays.right) + '\n';
}

QByteArray countdownLine(float seconds)
{
    return QByteArray::number(roundToInt32(static_cast<float>(seconds * 10000.0f))) + '\n';
}

} // namespace halvex
