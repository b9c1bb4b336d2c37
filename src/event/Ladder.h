#pragma once

#include "event/Event.h"
#include "event/Pass.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace halvex {

enum class PairState
{
    Waiting, // its racers are not known yet: a round before it is still running
    Open,    // to be run (or decided by an override)
    Decided,
};

struct LadderPair
{
    // The better seed sits left, the lane it takes; kNoEntry is an empty seat (a bye).
    EntryId left = kNoEntry;
    EntryId right = kNoEntry;
    PairState state = PairState::Waiting;
    // The racer who advances; kNoEntry on a decided pair means nobody does (both scratched).
    EntryId winner = kNoEntry;
    bool overridden = false;        // decided by the operator, not by a pass
    std::vector<EntryId> scratched; // no-shows: the seat's opponent runs solo
    std::vector<qint64> passes;     // the pair's passes that stand, in order
    std::vector<qint64> voided;     // its passes made void by a rerun or an undo
};

struct Ladder
{
    std::vector<std::vector<LadderPair>> rounds; // the last round is the final
    // Passes and corrections that fit no pair as the ladder stands (a pair whose racers changed
    // under an undo, a pass on a pair already decided): kept, shown, never counted.
    std::vector<qint64> ignored;
    EntryId winner = kNoEntry; // the final's winner, once decided
};

// The ladder of one class, derived afresh from the seeding (best first: the qualifying order,
// or the entry order for a class without qualifying) and everything recorded since, so that a
// reloaded event rebuilds exactly the ladder it had. The fixed ladder is drawn once: 1 against
// the last, 2 against the second to last, placed so that 1 and 2 can meet only in the final,
// each pair's winner meeting the winner of the pair beside it; the re-paired ladder is drawn
// again each round, the best remaining seed against the worst remaining. Passes and corrections are
// taken in the order of their seq, whatever order the lists hold them in. A field that is not a
// power of two gets its byes at the top of the seeding; a bye, like a pair with a no-show, is
// decided by the solo pass of its one racer, whatever that pass shows.
Ladder buildLadder(std::span<const EntryId> seeding, LadderKind kind, std::span<const Pass> passes,
                   std::span<const Correction> corrections);

struct PairRef
{
    int round = 0;
    int pair = 0;
};

// The pair to set up next: the first open pair of the earliest round not yet decided.
std::optional<PairRef> nextPair(const Ladder& ladder);

enum class Stage
{
    Qualifying,
    Eliminations,
};

// "Q1", "Q2", ... and "E1", "E2", ..., "Final" (the last of roundCount elimination rounds), the
// names the passes, the slips and the ladder show; round counts from 0.
QString roundName(Stage stage, int round, int roundCount);

} // namespace halvex
