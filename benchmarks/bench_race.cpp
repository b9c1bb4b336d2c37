// Race path timings: from the unit's complete report to the statistics window on screen, and the
// processor time spent waiting out a unit that never answers.
#include "PtyPeer.h"
#include "race/WindowState.h"
#include "reports/frmDragStats.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const QByteArray kReport = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                           "10500\n10800\n0\n0\n0\n0\n!\n";

std::unique_ptr<WindowRig> proTreeRig(WindowRig::Port port)
{
    auto rig = std::make_unique<WindowRig>(port);
    rig->writeSettings();
    rig->writeLists();
    WindowState s;
    s.ClassName = QStringLiteral("Stock");
    s.TreeIndex = 0;
    s.RacerLeft = QStringLiteral("Bob Diaz");
    s.RacerRight = QStringLiteral("Carla");
    rig->writeFile(kWindowStateFileName, windowStateLine(s));
    return rig;
}

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The report's last byte is in the port; the clock runs until the statistics window has been
// computed, filled, shown and painted.
void ReportToStatisticsShown(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Memory);
    frmDragRacing& w = rig->start();
    w.show();
    for (auto _ : state) {
        state.PauseTiming();
        rig->memoryPort.incoming = kReport;
        state.ResumeTiming();

        rig->command->ReadRaceReply();
        w.ShowRaceStatistics();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.statisticsWindow());

        state.PauseTiming();
        w.statisticsWindow()->close();
        QCoreApplication::processEvents();
        rig->g.Log.RaceLogCount = 0;
        state.ResumeTiming();
    }
}
BENCHMARK(ReportToStatisticsShown)->Unit(benchmark::kMillisecond);

// A whole race over a real serial line to a unit that answers at once: start of the "P" to the
// statistics window shown, 19 fields paced at 9600 baud included.
void WholeRaceOverSerialLine(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Serial);
    sim::PtyPeer peer(rig->folder(), 1);
    rig->settings.PreStageStage = true;
    rig->writeSettings();
    frmDragRacing& w = rig->start();
    peer.setRaceReply({0, 0, 500, 400, 2500, 2400, 4500, 4600, 8000, 8200, 10400, 10700, 10500,
                       10800, 0, 0, 0, 0});
    for (auto _ : state) {
        rig->command->sendUngated("P");
        rig->command->ReadRaceReply();
        w.ShowRaceStatistics();
        QCoreApplication::processEvents();
        state.PauseTiming();
        w.statisticsWindow()->close();
        QCoreApplication::processEvents();
        rig->g.Log.RaceLogCount = 0;
        state.ResumeTiming();
    }
    state.counters["report_bytes"] = kReport.size();
}
BENCHMARK(WholeRaceOverSerialLine)->Unit(benchmark::kMillisecond)->Iterations(20);

// The full 20-second limit against a unit that never answers: wall time and processor time.
void SilentUnitTwentySeconds(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Serial);
    sim::PtyPeer peer(rig->folder(), 1);
    peer.setNoAnswer(true);
    rig->start();
    for (auto _ : state) {
        const double cpu0 = processCpuSeconds();
        rig->command->sendUngated("N");
        rig->command->ReadRaceReply();
        state.counters["process_cpu_s"] = processCpuSeconds() - cpu0;
    }
}
BENCHMARK(SilentUnitTwentySeconds)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
