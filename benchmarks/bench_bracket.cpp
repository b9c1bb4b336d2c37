// A 64-car ladder run to its final drawn as a bracket: the sheet built from the ladder, and the
// sheet built and printed into a PDF file, as the Eliminations window's Print does.
#include "event/EventBracket.h"
#include "reports/BracketPrint.h"
#include "reports/QtPrintSurface.h"

#include <QDir>

#include <benchmark/benchmark.h>
#include <numeric>

using namespace halvex;

namespace {

struct FullLadder
{
    EventClass cls{QStringLiteral("Stock")};
    std::vector<Entry> entries;
    std::vector<Pass> passes;
    std::vector<Correction> corrections;
    Ladder ladder;
};

// Every pair decided by a pass (the lower seed winning one race in three), one pass in eight
// rerun and one in five typed by hand.
FullLadder fullLadder()
{
    FullLadder f;
    std::vector<EntryId> seeding(64);
    std::iota(seeding.begin(), seeding.end(), 1);
    for (EntryId e : seeding)
        f.entries.push_back({e, f.cls.name, QStringLiteral("Racer Number %1").arg(e),
                             QStringLiteral("Car %1").arg(e), QString::number(100 + e), 0});
    qint64 seq = 0;
    f.ladder = buildLadder(seeding, LadderKind::Fixed, f.passes, f.corrections);
    while (const std::optional<PairRef> next = nextPair(f.ladder)) {
        const LadderPair& p = f.ladder.rounds[next->round][next->pair];
        Pass pass{++seq, next->round, next->pair, {p.left, 0.5f, 7.1f, 0}, {p.right, 0.6f, 7.2f, 0},
                  {},    seq % 5 == 0};
        pass.decision.winner = seq % 3 != 0 ? Lane::Left : Lane::Right;
        f.passes.push_back(pass);
        if (seq % 8 == 0) {
            f.corrections.push_back({++seq, CorrectionKind::Rerun, next->round, next->pair,
                                     pass.seq, kNoEntry, QStringLiteral("sensor fault")});
            pass.seq = ++seq;
            f.passes.push_back(pass);
        }
        f.ladder = buildLadder(seeding, LadderKind::Fixed, f.passes, f.corrections);
    }
    return f;
}

void BracketSheetOf64Cars(benchmark::State& state)
{
    const FullLadder f = fullLadder();
    for (auto _ : state) {
        const BracketSheet sheet =
            bracketSheet(QStringLiteral("Club Night"), f.cls, f.ladder, f.passes, f.entries);
        benchmark::DoNotOptimize(sheet.winner.size());
    }
}
BENCHMARK(BracketSheetOf64Cars)->Unit(benchmark::kMicrosecond);

void BracketPdfOf64Cars(benchmark::State& state)
{
    const FullLadder f = fullLadder();
    const QString path = QDir::temp().filePath(QStringLiteral("halvex-bench-bracket.pdf"));
    for (auto _ : state) {
        const BracketSheet sheet =
            bracketSheet(QStringLiteral("Club Night"), f.cls, f.ladder, f.passes, f.entries);
        PdfFileSurface pdf(path);
        printBracket(pdf, sheet);
        benchmark::DoNotOptimize(pdf.jobs());
    }
    state.counters["pages"] = bracketPages(
        bracketSheet(QStringLiteral("Club Night"), f.cls, f.ladder, f.passes, f.entries));
}
BENCHMARK(BracketPdfOf64Cars)->Unit(benchmark::kMillisecond);

} // namespace
