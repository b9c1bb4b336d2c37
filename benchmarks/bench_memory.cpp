// Resident memory over a day's racing: 250 races through the real windows against the simulated
// unit on a serial line, each statistics window closed by its OK button as an operator does.
#include "RaceSteps.h"
#include "PtyPeer.h"
#include "reports/frmDragStats.h"
#include "support/FaultFolder.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace halvex;
using namespace halvex::test;

namespace {

// Each race's times move on by n ten-thousandths, so no two races log the same numbers.
QList<qint32> report(int n)
{
    return {0,        0,        500 + n,  400 + n,   2500 + n,  2400 + n,      4500 + n,
            4600 + n, 8000 + n, 8200 + n, 10400 + n, 10700 + n, 10500 + 2 * n, 10800 + 2 * n,
            0,        0,        0,        0};
}

void RaceMemory(benchmark::State& state)
{
    WindowRig rig(WindowRig::Port::Serial);
    rig.writeSettings();
    rig.writeLists();
    rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
    sim::PtyPeer peer(rig.folder(), 1);
    frmDragRacing& w = rig.start();
    w.show();
    bench::skipStartDelay(rig.app->session());
    QCoreApplication::processEvents();
    const qint64 atStart = residentKb();
    qint64 afterTen = 0;
    int races = 0;
    for (auto _ : state) {
        for (int n = 1; n <= 250; ++n) {
            peer.setRaceReply(report(n));
            w.cmdRace->click();
            bench::finishRace(w);
            frmDragStats* stats = rig.stats();
            if (!stats) {
                state.SkipWithError("a race ended without its statistics window");
                return;
            }
            stats->cmdOk->click();
            QElapsedTimer waited;
            waited.start();
            while (rig.stats() && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (n == 10)
                afterTen = residentKb();
            ++races;
        }
    }
    QCoreApplication::processEvents();
    const qint64 after = residentKb();
    state.counters["races"] = races;
    state.counters["rss_start_kB"] = double(atStart);
    state.counters["rss_10_kB"] = double(afterTen);
    state.counters["rss_250_kB"] = double(after);
    state.counters["growth_10_to_250_kB"] = double(after - afterTen);
    state.counters["growth_start_to_250_kB"] = double(after - atStart);
}
BENCHMARK(RaceMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
