#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

class GridModel;

// The file types the race data window saves a grid as. The worksheet is the system's own and
// comes first; the workbook and the comma-separated values are for today's spreadsheets.
enum class ExportFormat
{
    Worksheet,
    Workbook,
    Csv,
};

// The save dialog's file types, separated by ";;", the worksheet's first.
QString exportFilters();
QString exportFilter(ExportFormat format);
// The format of a file type the dialog offered; anything else is the worksheet.
ExportFormat exportFormatOf(const QString& filter);
// A name typed with the suffix of one of the formats is saved in that format whatever file type
// is chosen, so its bytes match its name; for any other name the file type decides.
ExportFormat exportFormatFor(const QString& name, const QString& filter);
// A name without a suffix gets the format's; any other name stays as the operator typed it.
QString withExportSuffix(const QString& name, ExportFormat format);
// The file's bytes; the sheet name is used by the workbook only.
QByteArray exportGrid(const GridModel& grid, ExportFormat format, const QString& sheetName);

} // namespace halvex
