#pragma once

#include "race/RaceResult.h"

#include <QString>
#include <QtGlobal>

#include <span>

namespace halvex {

// An entry of the event (racer, car and class as registered), known to the rules by its key
// (Entry::id).
using EntryId = qint64;
// The lane a solo pass leaves empty, and the seat of a bye: no entry is stored with key 0.
inline constexpr EntryId kNoEntry = 0;

// One lane of a pass as the rules need it; the rest of the record (timing points, speed, names)
// stays with the event's store.
struct LaneRun
{
    EntryId entry = kNoEntry;
    float reactionTime = 0;
    float elapsedTime = 0; // 0: the lane did not finish
    float dialIn = 0;      // the entry's dial-in or the class's index; 0 heads-up
};

// A timed pass of one pair. Passes are never changed or removed: corrections come after them in
// the same sequence, so the event's state can always be derived again from both lists. The
// decision is the one the race session made, kept so that the ladder never decides a race the
// program decided differently.
struct Pass
{
    qint64 seq = 0; // the event's one counter, shared with the corrections
    int round = 0;  // 0-based within its stage (qualifying or eliminations)
    int pair = 0;   // 0-based within its round
    LaneRun left;
    LaneRun right;
    WinnerDecision decision;
    bool byHand = false; // typed by the operator from the judges' times, not timed by the unit
};

// Takes a pass from the race session's result: the records' reaction and elapsed times and
// dial-ins, and its decision.
Pass passFromResult(const RaceResult& result, qint64 seq, int round, int pair, EntryId left,
                    EntryId right);

// The lane that wins a pair on this pass: a red light settles it as the program decides; then a
// lane that finished beats one that did not (the program decides nothing when an ET is 0), and
// neither finishing leaves it undecided (Lane::None), for a rerun or an override.
Lane pairWinner(const Pass& pass);

enum class CorrectionKind
{
    Rerun,    // `pass` is void; the pair runs again
    Scratch,  // `entry` did not show: the opponent runs a solo pass and advances
    Undo,     // takes back the pair's last result (a deciding pass, an override or a scratch)
    Override, // `entry` wins the pair whatever its passes show
};

// An operator's correction, with the reason the store keeps beside it.
struct Correction
{
    qint64 seq = 0;
    CorrectionKind kind = CorrectionKind::Rerun;
    int round = 0;
    int pair = 0;
    qint64 pass = 0; // Rerun: the seq of the pass made void
    EntryId entry = kNoEntry;
    QString reason;
};

// Whether a rerun among the corrections made the pass void.
bool madeVoid(qint64 pass, std::span<const Correction> corrections);

} // namespace halvex
