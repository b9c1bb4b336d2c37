#include "reports/RaceDataGrid.h"

#include "data/DragSettings.h"
#include "data/Numbers.h"
#include "data/RaceLog.h"
#include "race/ResultDisplay.h"
#include "reports/GridSort.h"

#include <QStringList>

#include <algorithm>

namespace halvex::RaceDataGrid {

namespace {

constexpr int kCentre = 4; // the grid's centre-centre alignment

void copyTitles(const GridModel& from, GridModel& to)
{
    for (int c = 0; c < std::min(from.cols(), to.cols()); ++c) {
        to.setText(0, c, from.text(0, c));
        to.setFont(0, c, from.font(0, c));
        to.setCellAlignment(0, c, kCentre);
    }
}

} // namespace

int sensorColumns(const DragSettings& settings)
{
    return std::clamp<int>(settings.NumberOfSensors, 0, 5);
}

void SetHeader(GridModel& grid, const DragSettings& settings)
{
    const int n = sensorColumns(settings);
    grid.setCols(n + 12);
    QStringList titles = {QStringLiteral("ID"),   QStringLiteral("Race#"),  QStringLiteral("Class"),
                          QStringLiteral("Lane"), QStringLiteral("Driver"), QStringLiteral("Car"),
                          QStringLiteral("RT")};
    for (int i = 1; i <= n; ++i)
        titles.append(settings.InterSensorDistance[size_t(i)]);
    titles << QStringLiteral("ET") << QStringLiteral("Dial-In")
           << (settings.Metric ? QStringLiteral("KPH") : QStringLiteral("MPH"))
           << QStringLiteral("Margin") << QStringLiteral("W/L");
    GridFont bold;
    bold.bold = true;
    for (int c = 0; c < grid.cols(); ++c) {
        grid.setText(0, c, titles[c]);
        grid.setFont(0, c, bold);
        grid.setCellAlignment(0, c, kCentre);
    }
}

QString rowText(int position, const RaceRecord& r, int sensors)
{
    QStringList cells = {QString::number(position),
                         QString::number(r.RaceNumber),
                         r.ClassName,
                         r.Lane,
                         r.Racer,
                         r.Car,
                         timeText(r.ReactionTime)};
    for (int i = 0; i < sensors; ++i)
        cells.append(timeText(r.TimingPoint[size_t(i)]));
    cells << timeText(r.ElapsedTime) << dialInText(r.DialIn) << fixed(r.Speed, 2)
          << timeText(r.WinMargin) << r.Result;
    return cells.join(u'\t');
}

void loadLoggedRaces(GridModel& grid, const RaceLog& log, const DragSettings& settings)
{
    grid.setRow(0);
    SetHeader(grid, settings);
    const int n = sensorColumns(settings);
    for (int i = 0; i < log.count(); ++i)
        grid.addItem(rowText(i, log.record(i), n));
    if (grid.rows() > 2)
        grid.removeItem(1);
}

void buildTopQualifiers(GridModel& logged, GridModel& q, const DragSettings& settings)
{
    const int n = sensorColumns(settings);
    const int et = n + 7;
    q.setCols(n + 12);
    copyTitles(logged, q);
    logged.sort(et, GridModel::Sort::NumericAscending, 1, logged.rows() - 1);
    q.setRows(logged.rows());
    for (int r = 1; r < logged.rows(); ++r)
        for (int c = 0; c < logged.cols(); ++c)
            q.setText(r, c, logged.text(r, c));

    // Failed runs, with no time or a time under 0.1 s, never qualify.
    for (int r = 1; r < q.rows();) {
        if (leadingNumber(q.text(r, et)) < 0.1)
            q.removeItem(r);
        else
            ++r;
    }
    // In elapsed time order the first run of a racer in a class is the best; the car does not
    // count.
    for (int i = 1; i < q.rows(); ++i) {
        const QString key = q.text(i, 2) + q.text(i, 4);
        for (int j = i + 1; j < q.rows();) {
            if (q.text(j, 2) + q.text(j, 4) == key)
                q.removeItem(j);
            else
                ++j;
        }
    }
    q.sort(2, GridModel::Sort::GenericAscending, 1, q.rows() - 1);
    FG_Sort(q, {SortKey{2, false, true}, SortKey{et, false, false}});
    copyTitles(logged, q);
}

void restoreLoggingOrder(GridModel& logged)
{
    logged.sort(0, GridModel::Sort::NumericAscending, 1, logged.rows() - 1);
}

} // namespace halvex::RaceDataGrid
