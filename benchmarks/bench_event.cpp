// The event's rules: a 64-car ladder derived from its seeding and every pass to the final, as
// the Eliminations window and a reloaded event compute it.
#include "event/Ladder.h"

#include <benchmark/benchmark.h>
#include <numeric>

using namespace halvex;

namespace {

// A whole 64-car ladder run to its final: every pair decided by a pass (the lower seed winning
// one race in three), and one pass in eight rerun before its pair ran again.
void fullLadder(LadderKind type, std::vector<EntryId>& seeding, std::vector<Pass>& passes,
                std::vector<Correction>& corrections)
{
    seeding.resize(64);
    std::iota(seeding.begin(), seeding.end(), 1);
    qint64 seq = 0;
    Ladder ladder = buildLadder(seeding, type, passes, corrections);
    while (const std::optional<PairRef> next = nextPair(ladder)) {
        const LadderPair& p = ladder.rounds[next->round][next->pair];
        const bool leftWins = seq % 3 != 0;
        Pass pass{++seq, next->round, next->pair, {p.left, 0.5f, 7.1f, 0}, {p.right, 0.6f, 7.2f, 0},
                  {}};
        pass.decision.winner = leftWins ? Lane::Left : Lane::Right;
        passes.push_back(pass);
        if (seq % 8 == 0) {
            corrections.push_back({++seq, CorrectionKind::Rerun, next->round, next->pair, pass.seq,
                                   kNoEntry, QStringLiteral("sensor fault")});
            pass.seq = ++seq;
            passes.push_back(pass);
        }
        ladder = buildLadder(seeding, type, passes, corrections);
    }
}

void LadderOf64Cars(benchmark::State& state)
{
    const LadderKind type = state.range(0) ? LadderKind::Repaired : LadderKind::Fixed;
    std::vector<EntryId> seeding;
    std::vector<Pass> passes;
    std::vector<Correction> corrections;
    fullLadder(type, seeding, passes, corrections);
    for (auto _ : state) {
        Ladder ladder = buildLadder(seeding, type, passes, corrections);
        benchmark::DoNotOptimize(ladder.winner);
        benchmark::DoNotOptimize(nextPair(ladder));
    }
    if (buildLadder(seeding, type, passes, corrections).winner == kNoEntry)
        state.SkipWithError("the ladder did not reach its winner");
    state.counters["passes"] = double(passes.size());
}

} // namespace

BENCHMARK(LadderOf64Cars)->Arg(0)->Arg(1)->ArgName("repaired")->Unit(benchmark::kMicrosecond);
