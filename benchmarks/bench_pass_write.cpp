// What keeping a race as passes of the event adds to its commit: the two passes written in one
// transaction synced to the disk before the commit returns. Measured per commit over 100
// commits; the median and the slowest are reported, since one slow sync matters to the operator
// as much as the typical one.
#include "event/EventRaceStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

using namespace halvex;

namespace {

RaceRecord lane(const char* side, qint16 number)
{
    RaceRecord r;
    r.ClassName = QStringLiteral("Stock");
    r.Racer = QStringLiteral("Bob Diaz");
    r.Car = QStringLiteral("Red Comet");
    r.Lane = QString::fromLatin1(side);
    r.RaceNumber = number;
    r.ReactionTime = 0.0512f;
    r.TimingPoint = {0.2f, 0.42f, 0.78f, 0, 0};
    r.Speed = 123.456f;
    r.ElapsedTime = 1.0412f;
    r.WinMargin = 0.0301f;
    r.Result = QStringLiteral("Win");
    return r;
}

void PassWritePerCommit(benchmark::State& state)
{
    const bool kept = state.range(0) != 0;
    std::vector<double> micros;
    for (auto _ : state) {
        // In the build folder, on the machine's disk rather than a memory file system.
        QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/event-XXXXXX"));
        RaceLog log;
        EventRaceStore store(dir.path(), QDateTime::currentDateTime());
        for (qint16 n = 1; n <= 100; ++n) {
            QElapsedTimer t;
            t.start();
            log.countRace();
            log.append(lane("L", n), lane("R", n));
            if (kept)
                store.raceCommitted(lane("L", n), lane("R", n));
            micros.push_back(double(t.nsecsElapsed()) / 1000.0);
        }
        store.close();
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["slowest_us"] = micros.back();
}
BENCHMARK(PassWritePerCommit)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
