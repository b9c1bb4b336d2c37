#include "data/RaceLog.h"

namespace halvex {

void RaceHistory::clear()
{
    RaceLog.fill(RaceRecord{});
    RaceLogCount = 0;
    RaceCounter = 0;
}

} // namespace halvex
