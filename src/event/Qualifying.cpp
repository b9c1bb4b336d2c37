#include "event/Qualifying.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace halvex {

namespace {

bool better(const Qualifier& a, const Qualifier& b)
{
    if (a.counted != b.counted)
        return a.counted;
    if (!a.counted)
        return a.pass != b.pass ? a.pass < b.pass : a.entry < b.entry;
    if (a.breakout != b.breakout)
        return !a.breakout;
    // Breakouts rank by how little they broke out: the margin nearest zero.
    const float ka = a.breakout ? -a.margin : a.margin;
    const float kb = b.breakout ? -b.margin : b.margin;
    if (ka != kb)
        return ka < kb;
    if (a.pass != b.pass)
        return a.pass < b.pass;
    return a.entry < b.entry;
}

} // namespace

QualifyingOrder qualifyingOrder(std::span<const Pass> passes,
                                std::span<const Correction> corrections, Handicap handicap,
                                int fieldSize)
{
    QSet<qint64> voided;
    for (const Correction& c : corrections) {
        if (c.kind == CorrectionKind::Rerun)
            voided.insert(c.pass);
    }

    QHash<EntryId, Qualifier> best;
    for (const Pass& p : passes) {
        for (const LaneRun* run : {&p.left, &p.right}) {
            if (run->entry == kNoEntry)
                continue;
            Qualifier q;
            q.entry = run->entry;
            q.pass = p.seq;
            q.elapsedTime = run->elapsedTime;
            q.counted =
                !voided.contains(p.seq) && run->reactionTime >= 0.0f && run->elapsedTime > 0.0f;
            if (handicap != Handicap::HeadsUp) {
                q.margin = run->elapsedTime - run->dialIn;
                q.breakout = q.counted && q.margin < 0.0f;
            } else {
                q.margin = run->elapsedTime;
            }
            auto it = best.find(q.entry);
            if (it == best.end())
                best.insert(q.entry, q);
            else if (better(q, *it))
                *it = q;
        }
    }

    QualifyingOrder order;
    order.ranked.assign(best.cbegin(), best.cend());
    std::sort(order.ranked.begin(), order.ranked.end(), better);
    const int ranked = static_cast<int>(order.ranked.size());
    order.fieldCount = fieldSize > 0 ? std::min(fieldSize, ranked) : ranked;
    return order;
}

std::vector<EntryId> fieldSeeding(const QualifyingOrder& order)
{
    std::vector<EntryId> seeding;
    seeding.reserve(order.fieldCount);
    for (int i = 0; i < order.fieldCount; ++i)
        seeding.push_back(order.ranked[i].entry);
    return seeding;
}

} // namespace halvex
