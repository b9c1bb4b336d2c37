#pragma once

#include "event/Event.h"
#include "event/Pass.h"

#include <span>
#include <vector>

namespace halvex {

// An entry's place in the qualifying order, with the run that earned it.
struct Qualifier
{
    EntryId entry = kNoEntry;
    qint64 pass = 0; // the seq of the entry's best run, or of its first pass when none counts
    float elapsedTime = 0;
    float margin = 0;      // ET less the dial-in; the ET itself heads-up
    bool breakout = false; // quicker than the dial-in
    bool counted = false;  // false: only red lights, unfinished or void runs
};

struct QualifyingOrder
{
    std::vector<Qualifier> ranked; // best first
    // The first fieldCount entries make the field; when the field is full, the last of them
    // holds the bump spot, the run the others have to beat to get in.
    int fieldCount = 0;
};

// The qualifying order of one class from its qualifying passes, each lane a run: lowest ET
// heads-up; under an index or dial-in, closest to the lane's dial-in (the class's index or the
// entry's own) without breaking out, any breakout ranking below every run that did not break
// out, the smaller breakout first, as a breakout loses a race. A red light or a lane that did not
// finish is no qualifying run; a run made void by a rerun correction does not count either. Each
// entry's best run counts; ties go to the earlier pass, and within one pass to the lower key.
// Entries without a counting run still rank, below all others in the order of their first pass,
// so that a short field takes everyone who showed up. A fieldSize of 0 or less cuts nothing.
QualifyingOrder qualifyingOrder(std::span<const Pass> passes,
                                std::span<const Correction> corrections, Handicap handicap,
                                int fieldSize);

// The seeding the ladder is built from: the entries of the field, best first.
std::vector<EntryId> fieldSeeding(const QualifyingOrder& order);

} // namespace halvex
