#include "event/Pass.h"

#include <algorithm>

namespace halvex {

Pass passFromResult(const RaceResult& result, qint64 seq, int round, int pair, EntryId left,
                    EntryId right)
{
    Pass p;
    p.seq = seq;
    p.round = round;
    p.pair = pair;
    p.left = {left, result.left.ReactionTime, result.left.ElapsedTime, result.left.DialIn};
    p.right = {right, result.right.ReactionTime, result.right.ElapsedTime, result.right.DialIn};
    p.decision = result.decision;
    return p;
}

Lane pairWinner(const Pass& pass)
{
    const WinnerDecision& d = pass.decision;
    if (d.redLightLeft || d.redLightRight)
        return d.winner;
    const bool leftFinished = pass.left.elapsedTime > 0.0f;
    const bool rightFinished = pass.right.elapsedTime > 0.0f;
    if (leftFinished != rightFinished)
        return leftFinished ? Lane::Left : Lane::Right;
    return leftFinished ? d.winner : Lane::None;
}

bool madeVoid(qint64 pass, std::span<const Correction> corrections)
{
    return std::any_of(corrections.begin(), corrections.end(), [pass](const Correction& c) {
        return c.kind == CorrectionKind::Rerun && c.pass == pass;
    });
}

} // namespace halvex
