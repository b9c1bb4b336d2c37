// Race data timings with a full log, 250 races in 500 rows: the window opened, the top qualifiers
// built, a column sorted, the worksheet, workbook and comma-separated values written.
#include "reports/CsvExport.h"
#include "reports/ExcelFileV2.h"
#include "reports/GridSort.h"
#include "reports/PrintGrid.h"
#include "reports/QtPrintSurface.h"
#include "reports/RaceDataGrid.h"
#include "reports/XlsxExport.h"
#include "reports/frmGridData.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QDir>

#include <benchmark/benchmark.h>

using namespace halvex;
using namespace halvex::test;

namespace {

// 250 races of 40 racers in 4 classes, with times that differ from race to race.
void fillLog(RaceLog& log)
{
    const char* classes[] = {"Stock", "Modified", "Pro Stock", "Open"};
    for (int race = 0; race < RaceLog::kMaxRaces; ++race) {
        RaceRecord lanes[2];
        for (int lane = 0; lane < 2; ++lane) {
            RaceRecord& r = lanes[lane];
            r.ClassName = QString::fromLatin1(classes[race % 4]);
            r.Racer = QStringLiteral("Racer %1").arg((race * 7 + lane * 13) % 40);
            r.Car = QStringLiteral("Car %1").arg(race % 9);
            r.Lane = lane == 0 ? QStringLiteral("L") : QStringLiteral("R");
            r.ReactionTime = float((race * 37 + lane * 11) % 900) / 10000.0f;
            r.ElapsedTime = race % 17 == 0 ? 0.0f : 0.9f + float((race * 53 + lane) % 999) / 10000;
            r.Speed = 60.0f + float(race % 30);
            r.Result = lane == 0 ? QStringLiteral("Win") : QStringLiteral("Lost");
        }
        log.countRace();
        log.append(lanes[0], lanes[1]);
    }
}

DragSettings threeSensors()
{
    DragSettings s;
    s.NumberOfSensors = 3;
    s.InterSensorDistance[1] = QStringLiteral("10 ft");
    s.InterSensorDistance[2] = QStringLiteral("20 ft");
    s.InterSensorDistance[3] = QStringLiteral("40 ft");
    return s;
}

// The logged races grid of a full log.
GridModel fullLogGrid()
{
    RaceLog log;
    fillLog(log);
    GridModel logged;
    RaceDataGrid::loadLoggedRaces(logged, log, threeSensors());
    return logged;
}

void OpenRaceDataWindow(benchmark::State& state)
{
    WindowRig rig;
    rig.startWith(WindowRig::proTreeSetup());
    fillLog(rig.log());
    for (auto _ : state) {
        frmGridData w(rig.app->services(), rig.app->settings(), rig.log());
        w.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(OpenRaceDataWindow)->Unit(benchmark::kMillisecond);

void TopQualifiers(benchmark::State& state)
{
    RaceLog log;
    fillLog(log);
    const DragSettings s = threeSensors();
    for (auto _ : state) {
        GridModel logged;
        RaceDataGrid::loadLoggedRaces(logged, log, s);
        GridModel q;
        RaceDataGrid::buildTopQualifiers(logged, q, s);
        benchmark::DoNotOptimize(q.rows());
    }
}
BENCHMARK(TopQualifiers)->Unit(benchmark::kMillisecond);

void ColumnSortOfTheLog(benchmark::State& state)
{
    GridModel logged = fullLogGrid();
    ColumnSort sort;
    for (auto _ : state)
        sort.DoColumnSort(logged, 4);
}
BENCHMARK(ColumnSortOfTheLog)->Unit(benchmark::kMillisecond);

void WorksheetOfTheLog(benchmark::State& state)
{
    GridModel logged = fullLogGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(FG_SaveAsExcel(logged).size());
}
BENCHMARK(WorksheetOfTheLog)->Unit(benchmark::kMillisecond);

void WorkbookOfTheLog(benchmark::State& state)
{
    GridModel logged = fullLogGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(gridAsWorkbook(logged, QStringLiteral("Logged Races")).size());
}
BENCHMARK(WorkbookOfTheLog)->Unit(benchmark::kMillisecond);

void CommaSeparatedLog(benchmark::State& state)
{
    GridModel logged = fullLogGrid();
    for (auto _ : state)
        benchmark::DoNotOptimize(gridAsCsv(logged).size());
}
BENCHMARK(CommaSeparatedLog)->Unit(benchmark::kMillisecond);

void PageCountOfTheLog(benchmark::State& state)
{
    GridModel logged = fullLogGrid();
    PdfFileSurface pdf(QDir::temp().filePath(QStringLiteral("halvex-bench-grid.pdf")));
    clsPrintGrid print;
    print.Source(&logged);
    print.Destination(&pdf, QPointF(15, 15));
    for (auto _ : state)
        benchmark::DoNotOptimize(print.NumberOfPages());
    state.counters["pages"] = print.NumberOfPages();
}
BENCHMARK(PageCountOfTheLog)->Unit(benchmark::kMillisecond);

} // namespace
