#include "event/EventBracket.h"

#include "data/Numbers.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace halvex {

namespace {

QHash<EntryId, const Entry*> entriesById(const std::vector<Entry>& entries)
{
    QHash<EntryId, const Entry*> byId;
    byId.reserve(qsizetype(entries.size()));
    for (const Entry& e : entries)
        byId.insert(e.id, &e);
    return byId;
}

// The seat's lane run in the pass and whether that lane had a red light; null when the pass
// does not name the entry.
const LaneRun* laneOf(const Pass& pass, EntryId entry, bool* redLight)
{
    if (entry == kNoEntry)
        return nullptr;
    if (pass.left.entry == entry) {
        *redLight = pass.decision.redLightLeft;
        return &pass.left;
    }
    if (pass.right.entry == entry) {
        *redLight = pass.decision.redLightRight;
        return &pass.right;
    }
    return nullptr;
}

} // namespace

BracketSheet bracketSheet(const QString& eventName, const EventClass& cls, const Ladder& ladder,
                          std::span<const Pass> passes, const std::vector<Entry>& entries)
{
    const QHash<EntryId, const Entry*> byId = entriesById(entries);
    QHash<qint64, const Pass*> bySeq;
    bySeq.reserve(qsizetype(passes.size()));
    for (const Pass& p : passes)
        bySeq.insert(p.seq, &p);

    BracketSheet sheet;
    sheet.eventName = eventName;
    sheet.className = cls.name;
    sheet.joined = cls.ladder == LadderKind::Fixed;
    const auto nameOf = [&byId](EntryId e) {
        const Entry* entry = byId.value(e);
        return entry ? entry->racer : QString::number(e);
    };
    const int roundCount = int(ladder.rounds.size());
    sheet.rounds.reserve(ladder.rounds.size());
    for (int r = 0; r < roundCount; ++r) {
        BracketRound& round = sheet.rounds.emplace_back();
        round.name = roundName(Stage::Eliminations, r, roundCount);
        round.pairs.reserve(ladder.rounds[r].size());
        for (const LadderPair& lp : ladder.rounds[r]) {
            BracketPair& pair = round.pairs.emplace_back();
            if (lp.state == PairState::Waiting)
                continue;
            const Pass* standing = lp.passes.empty() ? nullptr : bySeq.value(lp.passes.back());
            const EntryId seated[2] = {lp.left, lp.right};
            for (int s = 0; s < 2; ++s) {
                const EntryId e = seated[s];
                if (e == kNoEntry)
                    continue;
                BracketSeat& seat = pair.seats[size_t(s)];
                seat.racer = nameOf(e);
                if (const Entry* entry = byId.value(e))
                    seat.carNumber = entry->carNumber;
                seat.winner = lp.state == PairState::Decided && lp.winner == e;
                bool redLight = false;
                if (const LaneRun* run = standing ? laneOf(*standing, e, &redLight) : nullptr) {
                    seat.elapsedTime = redLight                  ? QStringLiteral("RED LIGHT")
                                       : run->elapsedTime > 0.0f ? fixed(run->elapsedTime, 3)
                                                                 : QStringLiteral("DNF");
                    seat.reactionTime = fixed(run->reactionTime, 3);
                }
            }
            QStringList notes;
            if ((lp.left == kNoEntry) != (lp.right == kNoEntry))
                notes << QStringLiteral("Bye");
            if (!lp.scratched.empty())
                notes << QStringLiteral("Scratch");
            if (lp.overridden)
                notes << QStringLiteral("Override");
            if (!lp.voided.empty())
                notes << QStringLiteral("Rerun");
            if (standing && standing->byHand)
                notes << QStringLiteral("By hand");
            pair.note = notes.join(QStringLiteral(", "));
        }
    }
    if (ladder.winner != kNoEntry)
        sheet.winner = nameOf(ladder.winner);
    return sheet;
}

std::vector<ClassStanding> classResults(const Ladder& ladder, std::span<const Pass> passes,
                                        const std::vector<Entry>& entries, const EventClass& cls,
                                        std::span<const Correction> corrections)
{
    // Passes that do not count: made void by a rerun or by the ladder, or fitting no pair.
    QSet<qint64> uncounted(ladder.ignored.begin(), ladder.ignored.end());
    for (const Correction& c : corrections)
        if (c.kind == CorrectionKind::Rerun)
            uncounted.insert(c.pass);
    // The last round each entry was seated in.
    QHash<EntryId, int> reached;
    const int roundCount = int(ladder.rounds.size());
    for (int r = 0; r < roundCount; ++r) {
        for (const LadderPair& p : ladder.rounds[r]) {
            uncounted.unite(QSet<qint64>(p.voided.begin(), p.voided.end()));
            for (EntryId e : {p.left, p.right})
                if (e != kNoEntry)
                    reached.insert(e, r);
        }
    }
    EntryId runnerUp = kNoEntry;
    if (ladder.winner != kNoEntry) {
        const LadderPair& f = ladder.rounds.back().front();
        runnerUp = f.left == ladder.winner ? f.right : f.left;
    }

    struct Ranked
    {
        ClassStanding standing;
        int group = 0; // lower ranks first
        size_t order = 0;
    };
    std::vector<Ranked> ranked;
    for (const Entry& e : entries) {
        if (e.className != cls.name)
            continue;
        Ranked r;
        r.order = ranked.size();
        ClassStanding& s = r.standing;
        s.entry = e.id;
        s.racer = e.racer;
        s.carNumber = e.carNumber;
        const auto round = reached.constFind(e.id);
        if (round == reached.cend()) {
            s.round = QStringLiteral("Q");
            r.group = 2 + roundCount;
        } else {
            s.round = roundName(Stage::Eliminations, *round, roundCount);
            r.group = e.id == ladder.winner ? 0
                      : e.id == runnerUp    ? 1
                                            : 2 + roundCount - 1 - *round;
        }
        for (const Pass& p : passes) {
            bool redLight = false;
            const LaneRun* run = laneOf(p, e.id, &redLight);
            if (!run || redLight || run->elapsedTime <= 0.0f || uncounted.contains(p.seq))
                continue;
            s.bestElapsedTime =
                std::min(s.bestElapsedTime.value_or(run->elapsedTime), run->elapsedTime);
            s.bestReactionTime =
                std::min(s.bestReactionTime.value_or(run->reactionTime), run->reactionTime);
        }
        ranked.push_back(std::move(r));
    }
    // An entry without a counting pass sorts after every best ET.
    const auto et = [](const Ranked& r) {
        return r.standing.bestElapsedTime.value_or(std::numeric_limits<float>::infinity());
    };
    std::sort(ranked.begin(), ranked.end(), [&et](const Ranked& a, const Ranked& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (et(a) != et(b))
            return et(a) < et(b);
        return a.order < b.order;
    });
    std::vector<ClassStanding> results;
    results.reserve(ranked.size());
    for (size_t i = 0; i < ranked.size(); ++i) {
        ClassStanding s = std::move(ranked[i].standing);
        s.place =
            i > 0 && ranked[i].group == ranked[i - 1].group ? results.back().place : int(i) + 1;
        results.push_back(std::move(s));
    }
    return results;
}

} // namespace halvex
