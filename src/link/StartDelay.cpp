#include "link/StartDelay.h"

#include "platform/Random.h"

#include <cmath>

namespace halvex {

int startDelayTarget(Random& random, int randomStartMin, int randomStartMaxIndex)
{
    const int range = randomStartMaxIndex + 1;
    return static_cast<int>(std::floor(random.next() * static_cast<float>(range))) + randomStartMin;
}

} // namespace halvex
