#include "race/DemoRace.h"

#include "platform/Random.h"

#include <cmath>

namespace halvex {

namespace {

// Every step on a draw stays in single precision, as the generator's values are singles.
qint32 floorOf(float value)
{
    return static_cast<qint32>(std::floor(value));
}

qint32 nearest(float value)
{
    return static_cast<qint32>(std::nearbyint(value));
}

} // namespace

void runDemoRace(Random& random, std::array<qint32, 19>& r)
{
    r[3] = floorOf(random.next() * 1000.0f - 60.0f);
    r[4] = floorOf(random.next() * 1000.0f - 60.0f);
    r[13] = floorOf(random.next() * 1000.0f + static_cast<float>(r[3]) + 9000.0f);
    r[14] = floorOf(random.next() * 1000.0f + static_cast<float>(r[4]) + 9000.0f);

    const float runLeft = static_cast<float>(r[13] - r[3]);
    const float runRight = static_cast<float>(r[14] - r[4]);
    r[5] = nearest(runLeft / 7.0f + random.next() * 20.0f + static_cast<float>(r[3]));
    r[6] = nearest(runRight / 7.0f + random.next() * 20.0f + static_cast<float>(r[4]));
    r[7] = nearest(runLeft / 6.0f + random.next() * 20.0f + static_cast<float>(r[5]));
    r[8] = nearest(runRight / 6.0f + random.next() * 20.0f + static_cast<float>(r[6]));
    r[9] = nearest(runLeft / 2.0f + random.next() * 20.0f + static_cast<float>(r[7]));
    r[10] = nearest(runRight / 2.0f + random.next() * 20.0f + static_cast<float>(r[8]));
    r[11] = nearest(static_cast<float>(r[13]) - runLeft / 70.0f);
    r[12] = nearest(static_cast<float>(r[14]) - runRight / 70.0f);
}

int startDelayTarget(Random& random, int randomStartMin, int randomStartMaxIndex)
{
    const int range = randomStartMaxIndex + 1;
    return floorOf(random.next() * static_cast<float>(range)) + randomStartMin;
}

} // namespace halvex
