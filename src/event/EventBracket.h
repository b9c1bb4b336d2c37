#pragma once

#include "event/Event.h"
#include "event/Ladder.h"
#include "event/Pass.h"
#include "reports/BracketSheet.h"

#include <QString>

#include <span>
#include <vector>

namespace halvex {

// A class's ladder as the bracket shows it (reports/BracketSheet.h), for the printout, the
// exports and the scoreboard. Each round is a column named by roundName; each pair that has its
// racers shows them (name and car number of the entry, found by its id) with what the pair's
// last standing pass showed for each: the ET in three decimals, "DNF" when the lane did not
// finish, "RED LIGHT" when the pass's decision gives that lane a red light, and the RT in three
// decimals; a seat its standing pass does not name (a no-show) and a pair not yet run show no
// times. A pair whose racers are not known yet has two empty seats. The note lists, joined by
// ", ": "Bye" (one seat empty), "Scratch", "Override", "Rerun" (the pair has voided passes),
// "By hand" (its standing pass was typed in). `passes` are the class's elimination passes (more
// do no harm: they are found by seq); an entry missing from `entries` shows its id as its name.
BracketSheet bracketSheet(const QString& eventName, const EventClass& cls, const Ladder& ladder,
                          std::span<const Pass> passes, const std::vector<Entry>& entries);

// The class's standings, one per entry of the class (by its class name), best first:
// - place 1 the final's winner, 2 the other finalist; then by the last round each entry was
//   seated in, later rounds first; entries not in the field (round "Q") last;
// - entries that went out in the same round share their place (competition ranking: 1, 2, 3, 3,
//   5, 5, 5, 5, ...), and so do the two finalists until the final is decided, and entries still
//   running in a round that is not over share it with those out in it;
// - within a shared place: the lower best ET first, entries without a counting pass after those
//   with one, then the order of `entries`.
// Best ET and RT are over the entry's counting passes of both stages: not void (a rerun's
// correction, a pass the ladder made void or ignored), no red light for its lane, finished.
// `passes` and `corrections` are the class's qualifying and elimination passes and corrections
// (seqs are the event's one counter, so the stages never mix up).
std::vector<ClassStanding> classResults(const Ladder& ladder, std::span<const Pass> passes,
                                        const std::vector<Entry>& entries, const EventClass& cls,
                                        std::span<const Correction> corrections = {});

} // namespace halvex
