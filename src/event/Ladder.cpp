#include "event/Ladder.h"

#include <QHash>

#include <algorithm>

namespace halvex {

namespace {

// A pass or a correction, as the pair it names takes them in turn.
struct Item
{
    qint64 seq = 0;
    const Pass* pass = nullptr;
    const Correction* correction = nullptr;
};

// What the pair's undo takes back, latest last.
struct Result
{
    enum Kind
    {
        ByPass,
        ByOverride,
        ByScratch
    } kind = ByPass;
    qint64 seq = 0;
    EntryId entry = kNoEntry; // the winner, or the no-show
};

// Bracket positions of the seeds 1..size (a power of two) so that 1 and 2 fall in opposite
// halves, 1 to 4 in different quarters, and so on: each seed s of the half-size order is
// followed by its opponent size + 1 - s.
std::vector<int> fixedOrder(int size)
{
    std::vector<int> order{1};
    for (int n = 2; n <= size; n *= 2) {
        std::vector<int> next;
        next.reserve(n);
        for (int s : order) {
            next.push_back(s);
            next.push_back(n + 1 - s);
        }
        order.swap(next);
    }
    return order;
}

class Builder
{
public:
    Builder(std::span<const EntryId> seeding, LadderKind kind) : m_kind(kind)
    {
        for (EntryId e : seeding) {
            if (e != kNoEntry && !m_seed.contains(e)) {
                m_seed.insert(e, static_cast<int>(m_seeding.size()));
                m_seeding.push_back(e);
            }
        }
    }

    Ladder build(std::span<const Pass> passes, std::span<const Correction> corrections)
    {
        Ladder ladder;
        const int n = static_cast<int>(m_seeding.size());
        if (n == 0)
            return ladder;
        int size = 2;
        while (size < n)
            size *= 2;
        for (int pairs = size / 2; pairs >= 1; pairs /= 2)
            ladder.rounds.emplace_back(pairs);

        // Each pair's items in seq order; those naming no pair are ignored at once.
        std::vector<std::vector<std::vector<Item>>> items(ladder.rounds.size());
        for (size_t r = 0; r < items.size(); ++r)
            items[r].resize(ladder.rounds[r].size());
        std::vector<Item> all;
        all.reserve(passes.size() + corrections.size());
        for (const Pass& p : passes)
            all.push_back({p.seq, &p, nullptr});
        for (const Correction& c : corrections)
            all.push_back({c.seq, nullptr, &c});
        std::stable_sort(all.begin(), all.end(),
                         [](const Item& a, const Item& b) { return a.seq < b.seq; });
        for (const Item& item : all) {
            const int r = item.pass ? item.pass->round : item.correction->round;
            const int k = item.pass ? item.pass->pair : item.correction->pair;
            if (r < 0 || r >= static_cast<int>(items.size()) || k < 0 ||
                k >= static_cast<int>(items[r].size()))
                ladder.ignored.push_back(item.seq);
            else
                items[r][k].push_back(item);
        }

        seatFirstRound(ladder.rounds[0], size);
        for (size_t r = 0; r < ladder.rounds.size(); ++r) {
            if (r > 0)
                seatRound(ladder.rounds[r - 1], ladder.rounds[r]);
            for (size_t k = 0; k < ladder.rounds[r].size(); ++k)
                settle(ladder.rounds[r][k], items[r][k], ladder.ignored);
        }
        const LadderPair& finalPair = ladder.rounds.back().front();
        if (finalPair.state == PairState::Decided)
            ladder.winner = finalPair.winner;
        std::sort(ladder.ignored.begin(), ladder.ignored.end());
        return ladder;
    }

private:
    void seat(LadderPair& pair, EntryId a, EntryId b) const
    {
        if (a == kNoEntry || (b != kNoEntry && m_seed[b] < m_seed[a]))
            std::swap(a, b);
        pair.left = a;
        pair.right = b;
        pair.state = PairState::Open;
    }

    void seatFirstRound(std::vector<LadderPair>& round, int size) const
    {
        const int n = static_cast<int>(m_seeding.size());
        if (m_kind == LadderKind::Fixed) {
            const std::vector<int> order = fixedOrder(size);
            for (size_t k = 0; k < round.size(); ++k) {
                const int a = order[2 * k], b = order[2 * k + 1];
                seat(round[k], a <= n ? m_seeding[a - 1] : kNoEntry,
                     b <= n ? m_seeding[b - 1] : kNoEntry);
            }
        } else {
            seatBestAgainstWorst(round, m_seeding);
        }
    }

    // The top seeds take the byes that bring the field to the round's seats; the rest meet best
    // against worst. Pairs left with nobody are decided with nobody advancing.
    void seatBestAgainstWorst(std::vector<LadderPair>& round, std::vector<EntryId> entries) const
    {
        std::sort(entries.begin(), entries.end(),
                  [this](EntryId a, EntryId b) { return m_seed[a] < m_seed[b]; });
        const int m = static_cast<int>(entries.size());
        const int pairs = static_cast<int>(round.size());
        const int byes = std::min(m, std::max(0, 2 * pairs - m));
        int k = 0;
        for (; k < byes; ++k)
            seat(round[k], entries[k], kNoEntry);
        for (int lo = byes, hi = m - 1; lo < hi; ++lo, --hi, ++k)
            seat(round[k], entries[lo], entries[hi]);
        for (; k < pairs; ++k)
            round[k].state = PairState::Decided;
    }

    void seatRound(const std::vector<LadderPair>& previous, std::vector<LadderPair>& round) const
    {
        if (m_kind == LadderKind::Fixed) {
            for (size_t k = 0; k < round.size(); ++k) {
                const LadderPair& a = previous[2 * k];
                const LadderPair& b = previous[2 * k + 1];
                if (a.state != PairState::Decided || b.state != PairState::Decided)
                    continue;
                if (a.winner == kNoEntry && b.winner == kNoEntry)
                    round[k].state = PairState::Decided;
                else
                    seat(round[k], a.winner, b.winner);
            }
            return;
        }
        std::vector<EntryId> advancing;
        for (const LadderPair& p : previous) {
            if (p.state != PairState::Decided)
                return;
            if (p.winner != kNoEntry)
                advancing.push_back(p.winner);
        }
        seatBestAgainstWorst(round, advancing);
    }

    // Plays the pair's passes and corrections in turn; what stands at the end is its result.
    static void settle(LadderPair& pair, const std::vector<Item>& items,
                       std::vector<qint64>& ignored)
    {
        if (pair.state != PairState::Open) {
            for (const Item& item : items)
                ignored.push_back(item.seq);
            return;
        }
        std::vector<Result> results;
        const auto seated = [&pair](EntryId e) {
            return e != kNoEntry && (e == pair.left || e == pair.right);
        };
        const auto isScratched = [&results](EntryId e) {
            return std::any_of(results.begin(), results.end(), [e](const Result& r) {
                return r.kind == Result::ByScratch && r.entry == e;
            });
        };
        const auto decided = [&results] {
            return std::any_of(results.begin(), results.end(),
                               [](const Result& r) { return r.kind != Result::ByScratch; });
        };
        const auto present = [&](EntryId e) { return seated(e) && !isScratched(e); };

        for (const Item& item : items) {
            bool taken = false;
            if (const Pass* p = item.pass) {
                const EntryId l = p->left.entry, r = p->right.entry;
                const int racing = int(present(pair.left)) + int(present(pair.right));
                const bool solo = racing == 1 && (l == kNoEntry) != (r == kNoEntry) &&
                                  present(l == kNoEntry ? r : l);
                const bool both = racing == 2 && l != r && present(l) && present(r);
                if (!decided() && (solo || both)) {
                    taken = true;
                    pair.passes.push_back(p->seq);
                    const Lane lane =
                        solo ? (l == kNoEntry ? Lane::Right : Lane::Left) : pairWinner(*p);
                    if (lane != Lane::None)
                        results.push_back({Result::ByPass, p->seq, lane == Lane::Left ? l : r});
                }
            } else {
                const Correction& c = *item.correction;
                switch (c.kind) {
                case CorrectionKind::Rerun: {
                    const auto it = std::find(pair.passes.begin(), pair.passes.end(), c.pass);
                    if (it != pair.passes.end()) {
                        taken = true;
                        pair.voided.push_back(c.pass);
                        pair.passes.erase(it);
                        std::erase_if(results, [&c](const Result& r) {
                            return r.kind == Result::ByPass && r.seq == c.pass;
                        });
                    }
                    break;
                }
                case CorrectionKind::Scratch:
                    if (!decided() && present(c.entry)) {
                        taken = true;
                        results.push_back({Result::ByScratch, c.seq, c.entry});
                    }
                    break;
                case CorrectionKind::Undo:
                    if (!results.empty()) {
                        taken = true;
                        const Result last = results.back();
                        results.pop_back();
                        if (last.kind == Result::ByPass) {
                            pair.voided.push_back(last.seq);
                            std::erase(pair.passes, last.seq);
                        }
                    }
                    break;
                case CorrectionKind::Override:
                    if (present(c.entry)) {
                        taken = true;
                        results.push_back({Result::ByOverride, c.seq, c.entry});
                    }
                    break;
                }
            }
            if (!taken)
                ignored.push_back(item.seq);
        }

        for (const Result& r : results) {
            if (r.kind == Result::ByScratch)
                pair.scratched.push_back(r.entry);
        }
        const auto last = std::find_if(results.rbegin(), results.rend(),
                                       [](const Result& r) { return r.kind != Result::ByScratch; });
        if (last != results.rend()) {
            pair.state = PairState::Decided;
            pair.winner = last->entry;
            pair.overridden = last->kind == Result::ByOverride;
        } else if (!present(pair.left) && !present(pair.right)) {
            pair.state = PairState::Decided; // both no-shows: nobody advances
        }
    }

    LadderKind m_kind;
    std::vector<EntryId> m_seeding;
    QHash<EntryId, int> m_seed;
};

} // namespace

Ladder buildLadder(std::span<const EntryId> seeding, LadderKind kind, std::span<const Pass> passes,
                   std::span<const Correction> corrections)
{
    return Builder(seeding, kind).build(passes, corrections);
}

std::optional<PairRef> nextPair(const Ladder& ladder)
{
    for (size_t r = 0; r < ladder.rounds.size(); ++r) {
        const std::vector<LadderPair>& round = ladder.rounds[r];
        for (size_t k = 0; k < round.size(); ++k) {
            if (round[k].state == PairState::Open)
                return PairRef{static_cast<int>(r), static_cast<int>(k)};
        }
        const bool done = std::all_of(round.begin(), round.end(), [](const LadderPair& p) {
            return p.state == PairState::Decided;
        });
        if (!done)
            return std::nullopt;
    }
    return std::nullopt;
}

QString roundName(Stage stage, int round, int roundCount)
{
    if (stage == Stage::Qualifying)
        return QStringLiteral("Q%1").arg(round + 1);
    if (round == roundCount - 1)
        return QStringLiteral("Final");
    return QStringLiteral("E%1").arg(round + 1);
}

} // namespace halvex
