#pragma once

namespace halvex {

class Random;

// Whole seconds the start delay window waits before it closes: tick target, between the minimum
// and the maximum - 1, every value equally likely. A maximum index of -1 gives a range of 0.
int startDelayTarget(Random& random, int randomStartMin, int randomStartMaxIndex);

} // namespace halvex
