#pragma once

#include "reports/GridModel.h"

namespace halvex {

struct DragSettings;
struct RaceRecord;
class RaceLog;

// The race data window's grids without the window: the N + 12 column titles, the logged races,
// and the top qualifiers built from them.
namespace RaceDataGrid {

// Timing points shown: the settings' sensor count, kept within what a record holds.
int sensorColumns(const DragSettings& settings);
// N + 12 columns, the title row bold and centred.
void SetHeader(GridModel& grid, const DragSettings& settings);
// One record as the grid's tab-separated row.
QString rowText(int position, const RaceRecord& record, int sensors);
// The committed races of the log, one row each; the empty first row goes once a race is in.
void loadLoggedRaces(GridModel& grid, const RaceLog& log, const DragSettings& settings);
// Each racer's best run per class from the logged races, by class and then elapsed time. Sorts
// the logged races grid by elapsed time on the way.
void buildTopQualifiers(GridModel& logged, GridModel& qualifiers, const DragSettings& settings);
// The logged races back in their logging order.
void restoreLoggingOrder(GridModel& logged);

} // namespace RaceDataGrid

} // namespace halvex
