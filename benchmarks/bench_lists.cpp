// Master list timings: a racer list file read from disk into both lane boxes of the main window.
#include "data/MasterList.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>
#include <random>

using namespace halvex;
using namespace halvex::test;

namespace {

// Names as operators type them: made-up first and last names, mostly proper case, some lower or
// upper case, some accented, some repeated.
QStringList racerNames(qsizetype count)
{
    static const QStringList first = {
        QStringLiteral("Bob"),  QStringLiteral("Carla"), QStringLiteral("Dana"),
        QStringLiteral("Eli"),  QStringLiteral("Frank"), QStringLiteral("Gina"),
        QStringLiteral("Hugo"), QStringLiteral("Ines"),  QStringLiteral("José"),
        QStringLiteral("Karl"), QStringLiteral("Lena"),  QStringLiteral("Zoë")};
    static const QStringList syllables = {
        QStringLiteral("ba"),  QStringLiteral("ker"),   QStringLiteral("mül"),
        QStringLiteral("son"), QStringLiteral("ri"),    QStringLiteral("tan"),
        QStringLiteral("dé"),  QStringLiteral("vo"),    QStringLiteral("lin"),
        QStringLiteral("ha"),  QStringLiteral("ström"), QStringLiteral("go"),
        QStringLiteral("pe"),  QStringLiteral("wall"),  QStringLiteral("ny"),
        QStringLiteral("cz")};
    std::mt19937 random(3000);
    auto pick = [&](const QStringList& from) { return from[random() % from.size()]; };
    QStringList names;
    names.reserve(count);
    while (names.size() < count) {
        QString last = pick(syllables) + pick(syllables) + pick(syllables);
        last[0] = last[0].toUpper();
        QString name = pick(first) + u' ' + last;
        const auto style = random() % 10;
        if (style == 0)
            name = name.toLower();
        else if (style == 1)
            name = name.toUpper();
        names.append(name);
    }
    return names;
}

// The window is on screen; the clock runs from the file read to both boxes filled and repainted.
void LoadRacerList(benchmark::State& state)
{
    const auto count = static_cast<qsizetype>(state.range(0));
    WindowRig rig;
    rig.writeSettings();
    rig.writeLists();
    writeNames(rig.dir.filePath(kRacersFileName), racerNames(count));
    frmDragRacing& w = rig.start();
    w.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        w.LoadRacers();
        QCoreApplication::processEvents();
    }
    if (w.cmbRacers[0]->count() != count || w.cmbRacers[1]->count() != count)
        state.SkipWithError("the boxes do not hold every name");
}
BENCHMARK(LoadRacerList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
