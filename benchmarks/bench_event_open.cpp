// An event of ten thousand passes opened as the Qualifications and Eliminations windows open it:
// its classes and entries, each class's qualifying order and ladder, and the call order.
#include "event/EventDatabase.h"
#include "event/EventRaceStore.h"
#include "event/EventRounds.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace halvex;

namespace {

constexpr int kClasses = 8;
constexpr int kEntries = 64;
constexpr int kQualifyingRounds = 39;

// Eight classes of 64 entries, 39 qualifying rounds of 32 pairs each and a ladder run to its
// final: 10,488 passes, 20,976 rows, written in one transaction.
QString bigEvent(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("Big.sqlite"));
    std::vector<EventClass> classes;
    for (int c = 0; c < kClasses; ++c)
        classes.push_back({QStringLiteral("Class %1").arg(c), 0, 0, 64, LadderKind::Fixed});
    auto event = Event::create(path, QStringLiteral("Big"), QDate(2026, 12, 6), classes);
    EventDatabase& db = event->database();
    EventRounds rounds(*event);
    db.write([&] {
        for (int c = 0; c < kClasses; ++c)
            for (int e = 0; e < kEntries; ++e)
                db.run(QStringLiteral("INSERT INTO entry (id, class_name, racer, car, car_number, "
                                      "dial_in) VALUES (?, ?, ?, 'Car', '', 0)"),
                       {c * kEntries + e + 1, classes[size_t(c)].name,
                        QStringLiteral("Racer %1-%2").arg(c).arg(e)});
    });
    const auto pass = [&](const CalledPair& call, int n) {
        const auto [setup, pairing] = rounds.setupFor(call, false);
        RaceRecord r;
        r.ClassName = setup.className;
        r.ReactionTime = 0.5f;
        EventRaceStore::PassRow row{QStringLiteral("tower"), 1,     0,
                                    QStringLiteral("Shown"), r,     pairing,
                                    QStringLiteral("win"),   false, 0};
        row.record.Lane = QStringLiteral("L");
        row.record.Result = QStringLiteral("Win");
        row.record.ElapsedTime = 7.0f + float(n % 97) / 1000.0f;
        row.heat = EventRaceStore::insertPass(db, row);
        row.record.Lane = QStringLiteral("R");
        row.record.Result.clear();
        row.record.ElapsedTime = 7.1f + float(n % 89) / 1000.0f;
        row.outcome = QStringLiteral("loss");
        EventRaceStore::insertPass(db, row);
    };
    int n = 0;
    for (int ci = 0; ci < kClasses; ++ci) {
        const EventClass& c = classes[size_t(ci)];
        const int first = ci * kEntries + 1;
        db.write([&] {
            for (int round = 0; round < kQualifyingRounds; ++round)
                for (int k = 0; k < kEntries / 2; ++k)
                    db.run(QStringLiteral("INSERT INTO draw (class_name, round_no, pair_no, "
                                          "left_entry, right_entry) VALUES (?, ?, ?, ?, ?)"),
                           {c.name, round, k, first + (k + round) % kEntries,
                            first + (k + round + kEntries / 2) % kEntries});
            for (const CalledPair& call : rounds.openPairs(c.name, Stage::Qualifying))
                pass(call, ++n);
        });
        rounds.startLadder(c.name);
        while (true) {
            const std::vector<CalledPair> open = rounds.openPairs(c.name, Stage::Eliminations);
            if (open.empty())
                break;
            db.write([&] { pass(open.front(), ++n); });
        }
    }
    return path;
}

void EventOf10kPassesOpens(benchmark::State& state)
{
    const QTemporaryDir dir;
    const QString path = bigEvent(dir);
    for (auto _ : state) {
        Event event(path);
        EventRounds rounds(event);
        std::size_t seen = event.entries().size();
        for (const EventClass& c : event.classes()) {
            seen += rounds.qualifying(c.name).ranked.size();
            seen += rounds.ladder(c.name).rounds.size();
        }
        seen += rounds.callOrder().size();
        benchmark::DoNotOptimize(seen);
    }
    Event event(path);
    state.counters["passes"] =
        event.database()
            .value(QStringLiteral("SELECT COUNT(*) FROM pass WHERE state = 'Shown'"))
            .toDouble() /
        2;
}

} // namespace

BENCHMARK(EventOf10kPassesOpens)->Iterations(5)->Unit(benchmark::kMillisecond);
