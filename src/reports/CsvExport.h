#pragma once

#include <QByteArray>

namespace halvex {

class GridModel;

// The grid's texts as comma-separated values, every row and column as shown: UTF-8 behind a
// byte order mark (without it some spreadsheets take the file for their local code page), lines
// ended by CR LF, a field with a comma, quote or line break in quotes with its quotes doubled.
QByteArray gridAsCsv(const GridModel& grid);

} // namespace halvex
