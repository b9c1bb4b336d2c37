#include "RaceDraw.h"

namespace halvex::sim {

namespace {

struct LaneTimes
{
    qint32 reaction = 0;
    qint32 point1 = 0;
    qint32 point2 = 0;
    qint32 point3 = 0;
    qint32 trap = 0;
    qint32 finish = 0;
};

LaneTimes drawLane(QRandomGenerator& random)
{
    LaneTimes lane;
    lane.reaction = random.bounded(100) < 5 ? -(1 + random.bounded(300)) : random.bounded(1001);
    const qint32 run = 8800 + random.bounded(3201);
    // A car covers the first quarter of the strip slowly and the rest near top speed, so the
    // sensors at a quarter, half and three quarters see about 40, 62 and 82 % of the run;
    // each crossing varies by one percent of the run.
    const auto crossing = [&](int basisPoints) {
        const int share = basisPoints - 100 + random.bounded(201);
        return lane.reaction + static_cast<qint32>(qint64{run} * share / 10000);
    };
    lane.point1 = crossing(4000);
    lane.point2 = crossing(6200);
    lane.point3 = crossing(8200);
    lane.finish = lane.reaction + run;
    // The trap sensor stands short of the finish line: about 1/70 of the run, give or take 10 %.
    lane.trap = lane.finish - static_cast<qint32>(qint64{run} * (90 + random.bounded(21)) / 7000);

    if (random.bounded(100) < 3) {
        const int sensorsPassed = random.bounded(4);
        if (sensorsPassed < 1) {
            lane.point1 = 0;
        }
        if (sensorsPassed < 2) {
            lane.point2 = 0;
        }
        if (sensorsPassed < 3) {
            lane.point3 = 0;
        }
        lane.trap = 0;
        lane.finish = 0;
    }
    return lane;
}

} // namespace

QList<qint32> drawRace(QRandomGenerator& random)
{
    const LaneTimes left = drawLane(random);
    const LaneTimes right = drawLane(random);
    return {0,
            0,
            left.reaction,
            right.reaction,
            left.point1,
            right.point1,
            left.point2,
            right.point2,
            left.point3,
            right.point3,
            left.trap,
            right.trap,
            left.finish,
            right.finish,
            0,
            0,
            0,
            0};
}

} // namespace halvex::sim
