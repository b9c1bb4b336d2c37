#pragma once

#include <QtGlobal>

#include <array>

namespace halvex {

class Random;

// Simulated report of the timing unit for demo mode: reaction times from -0.0060 to 0.0939 s,
// elapsed times from 0.9000 to 0.9999 s, intermediate points at about 1/7, 1/7 + 1/6 and
// 1/7 + 1/6 + 1/2 of the run, and the trap 1/70 of the run before the finish. Draws are taken in
// a fixed order; indices 1, 2 and 15 to 18 keep their values.
void runDemoRace(Random& random, std::array<qint32, 19>& raceReply);

// Whole seconds the start delay window waits before it closes: tick target, between the minimum
// and the maximum - 1, every value equally likely. A maximum index of -1 gives a range of 0.
int startDelayTarget(Random& random, int randomStartMin, int randomStartMaxIndex);

} // namespace halvex
