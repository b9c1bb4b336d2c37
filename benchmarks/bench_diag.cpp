// The diagnostics window polling a unit on a real pseudo-terminal, its replies paced at 9600 baud
// while a car passes the strip: polls a second, and the processor time of the program's thread.
#include "PtyPeer.h"
#include "data/Settings.h"
#include "link/frmDiag.h"
#include "support/WindowRig.h"

#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace halvex;
using namespace halvex::test;

namespace {

double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// HALVEX_DIAG_SECONDS shortens the minute for a quick look.
int seconds()
{
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("HALVEX_DIAG_SECONDS", &ok);
    return ok && s > 0 ? s : 60;
}

void DiagnosticsPolling(benchmark::State& state)
{
    WindowRig rig(WindowRig::Port::Serial);
    rig.writeSettings();
    rig.writeLists();
    sim::PtyPeer peer(rig.folder(), 1);
    rig.start();
    // Every lamp pair changes about every poll but one: the lamps are repainted all the time.
    // HALVEX_DIAG_PASS_MS=0 holds the masks still instead, for the cost of the polls alone.
    bool set = false;
    const int passMs = qEnvironmentVariableIntValue("HALVEX_DIAG_PASS_MS", &set);
    if (!set || passMs > 0)
        peer.setPass(set ? passMs : 60);
    for (auto _ : state) {
        frmDiag diag(rig.app->command(), rig.prompter, rig.app->settings().record(), &rig.window());
        diag.show();
        peer.clear();
        // The peer's line runs on a thread of its own; the program is the main thread.
        const double thread0 = cpuSeconds(RUSAGE_THREAD);
        const double process0 = cpuSeconds(RUSAGE_SELF);
        QEventLoop loop;
        QTimer::singleShot(seconds() * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double thread = cpuSeconds(RUSAGE_THREAD) - thread0;
        const double process = cpuSeconds(RUSAGE_SELF) - process0;
        diag.close();
        const auto polls = peer.commands().count("T\n");
        state.counters["polls_per_s"] = double(polls) / seconds();
        state.counters["program_cpu_pct"] = 100.0 * thread / seconds();
        state.counters["with_unit_cpu_pct"] = 100.0 * process / seconds();
        if (!rig.prompter.messages.isEmpty())
            state.SkipWithError(qPrintable(rig.prompter.texts().join(u'\n')));
    }
}
BENCHMARK(DiagnosticsPolling)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
