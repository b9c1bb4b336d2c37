#pragma once

#include "link/ReplyParser.h"

namespace halvex {

class Random;

// Simulated report of the timing unit for demo mode: reaction times from -0.0060 to 0.0939 s,
// elapsed times from 0.9000 to 0.9999 s, intermediate points at about 1/7, 1/7 + 1/6 and
// 1/7 + 1/6 + 1/2 of the run, and the trap 1/70 of the run before the finish. Draws are taken in
// a fixed order; indices 1, 2 and 15 to 18 keep their values.
void runDemoRace(Random& random, RaceReply& raceReply);

} // namespace halvex
