// What the scoreboard costs a race: from the unit's report in the port to the statistics window
// computed, shown and painted, with the board closed (0) and open on a 1280 x 720 window (1).
#include "RaceSteps.h"
#include "reports/frmScoreboard.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace halvex;
using namespace halvex::test;

namespace {

void ReportToStatisticsWindow(benchmark::State& state)
{
    const QByteArray report = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                              "10500\n10800\n0\n0\n0\n0\n!\n";
    WindowRig rig;
    rig.settings.PreStageStage = true;
    rig.memoryPort.answers.insert("P\n", report);
    frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
    bench::skipStartDelay(rig.app->session());
    w.show();
    if (state.range(0) == 1) {
        w.mnuViewScoreboard->trigger();
        rig.app->scoreboardWindow()->resize(1280, 720);
    }
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    qint64 reportNs = 0;
    // Connected before the reply reader is, so the stamp is taken as the report arrives.
    QObject::connect(&rig.memoryPort, &SerialPort::readyRead,
                     [&] { reportNs = clock.nsecsElapsed(); });
    for (auto _ : state) {
        w.cmdRace->click();
        bench::finishRace(w);
        QCoreApplication::processEvents();
        state.SetIterationTime(double(clock.nsecsElapsed() - reportNs) / 1e9);
        if (!rig.stats() || !rig.stats()->isVisible()) {
            state.SkipWithError("no statistics window");
            break;
        }
        rig.stats()->close();
        QCoreApplication::processEvents();
        rig.log().clear();
    }
}
BENCHMARK(ReportToStatisticsWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
