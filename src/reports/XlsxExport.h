#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

class GridModel;

// The grid as a workbook of one sheet: the title (fixed) rows bold and centred and frozen above
// the rest; a body cell that is a number (by the program's numeric test) as a number shown in
// the grid's own format ("12" as "0", "9.8765" as "0.0000"), every other non-empty cell as text.
// Throws a Failure when the workbook cannot be made.
QByteArray gridAsWorkbook(const GridModel& grid, const QString& sheetName);

} // namespace halvex
