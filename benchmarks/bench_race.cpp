// Race path timings: from the unit's report's last byte to the winner light written and to the
// statistics window on screen, and the processor time spent waiting out a unit that never answers.
#include "RaceSteps.h"
#include "race/SetupModel.h"
#include "PtyPeer.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const QByteArray kReport = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                           "10500\n10800\n0\n0\n0\n0\n!\n";

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A port whose unit answers "P" from the event loop, noting when the report's last byte arrived
// and when the winner light went out.
class TimedPort final : public SerialPort
{
public:
    QElapsedTimer clock;
    qint64 lastByteNs = 0;
    qint64 winLightNs = 0;

    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void open() override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void write(const QByteArray& bytes) override
    {
        if (bytes == "P\n") {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_incoming = kReport;
                    lastByteNs = clock.nsecsElapsed();
                    Q_EMIT readyRead();
                },
                Qt::QueuedConnection);
        } else if (bytes == "GL81\n") {
            winLightNs = clock.nsecsElapsed();
        }
    }
    qint64 bytesWaiting() override { return m_incoming.size(); }
    QByteArray readAll() override { return std::exchange(m_incoming, {}); }
    void discardInput() override { m_incoming.clear(); }
    bool devicePresent() const override { return true; }
    QString deviceName() const override { return QStringLiteral("COM1"); }

private:
    QByteArray m_incoming;
};

std::unique_ptr<WindowRig> proTreeRig(WindowRig::Port port)
{
    auto rig = std::make_unique<WindowRig>(port);
    rig->settings.PreStageStage = true;
    rig->writeSettings();
    rig->writeLists();
    rig->writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
    return rig;
}

// The report's last byte is in the port; the clock runs until "GL81" has been written: framing,
// parsing, computing, deciding.
void ReportToWinnerLight(benchmark::State& state)
{
    ScriptedPrompter prompter;
    SystemClock clock;
    QueuedRandom random;
    MemorySettingsStore store;
    TimedPort port;
    port.clock.start();
    QTemporaryDir dir;
    RecordedSound sound;
    RecordingSurface printer;
    HalvexApp app(
        Services{prompter, port, clock, random, store, sound, printer, ProgramFolder(dir.path())});
    bench::skipStartDelay(app.session());
    RaceSetup setup;
    setup.treeIndex = 3;
    setup.className = QStringLiteral("Stock");
    setup.racerLeft = QStringLiteral("Bob Diaz");
    setup.racerRight = QStringLiteral("Carla");
    QObject::disconnect(&app.session(), &RaceSession::resultReady, nullptr, nullptr);
    // The main window shows the setup: its tree list is filled by loading.
    app.load();
    prompter.messages.clear();
    app.setup().setSetup(setup);
    for (auto _ : state) {
        app.session().start();
        while (app.session().state() != RaceSession::State::Shown &&
               app.session().state() != RaceSession::State::Idle)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        state.SetIterationTime(double(port.winLightNs - port.lastByteNs) / 1e9);
        app.session().commit();
        app.raceLog().clear();
    }
    if (!prompter.messages.isEmpty())
        state.SkipWithError(qPrintable(prompter.messages.first().text));
}
BENCHMARK(ReportToWinnerLight)->Unit(benchmark::kMicrosecond)->UseManualTime();

// Start Race to the statistics window computed, drawn, shown and painted (no start delay, the
// unit answering at once from the event loop).
void StartRaceToStatisticsShown(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Memory);
    rig->memoryPort.answers.insert("P\n", kReport);
    frmDragRacing& w = rig->start();
    bench::skipStartDelay(rig->app->session());
    w.show();
    for (auto _ : state) {
        w.cmdRace->click();
        bench::finishRace(w);
        benchmark::DoNotOptimize(rig->stats());
        state.PauseTiming();
        rig->stats()->close();
        QCoreApplication::processEvents();
        rig->log().clear();
        state.ResumeTiming();
    }
}
BENCHMARK(StartRaceToStatisticsShown)->Unit(benchmark::kMillisecond);

// A whole race over a real serial line to a unit that answers at once: Start Race to the
// statistics window shown, the report's 76 bytes paced at 9600 baud included.
void WholeRaceOverSerialLine(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Serial);
    sim::PtyPeer peer(rig->folder(), 1);
    frmDragRacing& w = rig->start();
    bench::skipStartDelay(rig->app->session());
    peer.setRaceReply({0, 0, 500, 400, 2500, 2400, 4500, 4600, 8000, 8200, 10400, 10700, 10500,
                       10800, 0, 0, 0, 0});
    for (auto _ : state) {
        w.cmdRace->click();
        bench::finishRace(w);
        state.PauseTiming();
        rig->stats()->close();
        QCoreApplication::processEvents();
        rig->log().clear();
        state.ResumeTiming();
    }
}
BENCHMARK(WholeRaceOverSerialLine)->Unit(benchmark::kMillisecond)->Iterations(20);

// The full 20-second limit against a unit that never answers: wall time and processor time.
void SilentUnitTwentySeconds(benchmark::State& state)
{
    auto rig = proTreeRig(WindowRig::Port::Serial);
    sim::PtyPeer peer(rig->folder(), 1);
    peer.setNoAnswer(true);
    rig->start();
    // The rig's watcher for printing notices wakes every 10 ms; the program has no such timer.
    rig->noticeCloser.stop();
    for (auto _ : state) {
        const double cpu0 = processCpuSeconds();
        rig->app->command().sendUngated("N");
        bool done = false;
        rig->app->command().ReadRaceReplyLater(&rig->port(), [&](const auto&) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
