#include "reports/GridExport.h"

#include "reports/CsvExport.h"
#include "reports/ExcelFileV2.h"
#include "reports/XlsxExport.h"

#include <QFileInfo>
#include <QStringList>

#include <array>

namespace halvex {

namespace {

struct FileType
{
    ExportFormat format;
    const char* filter;
    const char* suffix;
};

constexpr std::array kFileTypes = {
    FileType{ExportFormat::Worksheet, "Excel Files (*.xls)", ".xls"},
    FileType{ExportFormat::Workbook, "Excel Workbook (*.xlsx)", ".xlsx"},
    FileType{ExportFormat::Csv, "CSV (*.csv)", ".csv"},
};

const FileType& fileType(ExportFormat format)
{
    for (const FileType& t : kFileTypes)
        if (t.format == format)
            return t;
    return kFileTypes.front();
}

} // namespace

QString exportFilters()
{
    QStringList filters;
    for (const FileType& t : kFileTypes)
        filters.append(QLatin1String(t.filter));
    return filters.join(QStringLiteral(";;"));
}

QString exportFilter(ExportFormat format)
{
    return QLatin1String(fileType(format).filter);
}

ExportFormat exportFormatOf(const QString& filter)
{
    for (const FileType& t : kFileTypes)
        if (filter == QLatin1String(t.filter))
            return t.format;
    return ExportFormat::Worksheet;
}

ExportFormat exportFormatFor(const QString& name, const QString& filter)
{
    const QString suffix = QFileInfo(name).suffix();
    for (const FileType& t : kFileTypes)
        if (suffix.compare(QLatin1String(t.suffix).sliced(1), Qt::CaseInsensitive) == 0)
            return t.format;
    return exportFormatOf(filter);
}

QString withExportSuffix(const QString& name, ExportFormat format)
{
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    return name + QLatin1String(fileType(format).suffix);
}

QByteArray exportGrid(const GridModel& grid, ExportFormat format, const QString& sheetName)
{
    switch (format) {
    case ExportFormat::Workbook:
        return gridAsWorkbook(grid, sheetName);
    case ExportFormat::Csv:
        return gridAsCsv(grid);
    case ExportFormat::Worksheet:
        break;
    }
    return FG_SaveAsExcel(grid);
}

} // namespace halvex
