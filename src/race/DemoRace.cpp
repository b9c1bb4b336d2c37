#include "race/DemoRace.h"

#include "platform/Random.h"

#include <cmath>

namespace halvex {

void runDemoRace(Random& random, RaceReply& r)
{
    // A draw is a single, and so is its product with a whole number; where a race field (a
    // 32-bit integer) joins in, the sum is worked in double before the floor or the rounding.
    auto draw = [&random](float times) { return random.next() * times; };
    auto floorOf = [](double v) { return static_cast<qint32>(std::floor(v)); };
    auto nearest = [](double v) { return static_cast<qint32>(std::nearbyint(v)); };

    r[3] = floorOf(static_cast<float>(draw(1000.0f) - 60.0f));
    r[4] = floorOf(static_cast<float>(draw(1000.0f) - 60.0f));
    r[13] = floorOf(static_cast<double>(draw(1000.0f)) + r[3] + 9000);
    r[14] = floorOf(static_cast<double>(draw(1000.0f)) + r[4] + 9000);

    const double runLeft = r[13] - r[3];
    const double runRight = r[14] - r[4];
    r[5] = nearest(runLeft / 7 + static_cast<double>(draw(20.0f)) + r[3]);
    r[6] = nearest(runRight / 7 + static_cast<double>(draw(20.0f)) + r[4]);
    r[7] = nearest(runLeft / 6 + static_cast<double>(draw(20.0f)) + r[5]);
    r[8] = nearest(runRight / 6 + static_cast<double>(draw(20.0f)) + r[6]);
    r[9] = nearest(runLeft / 2 + static_cast<double>(draw(20.0f)) + r[7]);
    r[10] = nearest(runRight / 2 + static_cast<double>(draw(20.0f)) + r[8]);
    r[11] = nearest(r[13] - runLeft / 70);
    r[12] = nearest(r[14] - runRight / 70);
}

} // namespace halvex
