#pragma once

#include "event/Pass.h"

#include <span>
#include <vector>

namespace halvex::event {

// How a class ranks its qualifying runs.
enum class Measure
{
    LowestEt,        // heads-up classes
    ClosestToDialIn, // index and dial-in classes: the lane's dial-in is the index or the entry's
                     // own
};

// An entry's place in the qualifying order, with the run that earned it.
struct Qualifier
{
    EntryId entry = kNoEntry;
    qint64 pass = 0; // the seq of the entry's best run, or of its first pass when none counts
    float elapsedTime = 0;
    float margin = 0;      // ET less the dial-in; the ET itself for LowestEt
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

// The qualifying order of one class from its qualifying passes, each lane a run. A red light or
// a lane that did not finish is no qualifying run; a run made void by a rerun correction does
// not count either. Each entry's best run counts and ties go to the earlier pass. Under
// ClosestToDialIn a breakout ranks below every run that did not break out, the smaller breakout
// first, as a breakout loses a race. Entries without a counting run still rank, below all
// others in the order of their first pass, so that a short field takes everyone who showed up.
// A fieldSize of 0 or less cuts nothing.
QualifyingOrder qualifyingOrder(std::span<const Pass> passes,
                                std::span<const Correction> corrections, Measure measure,
                                int fieldSize);

// The seeding the ladder is built from: the entries of the field, best first.
std::vector<EntryId> fieldSeeding(const QualifyingOrder& order);

} // namespace halvex::event
