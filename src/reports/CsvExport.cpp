#include "reports/CsvExport.h"

#include "data/CsvText.h"
#include "reports/GridModel.h"

namespace halvex {

QByteArray gridAsCsv(const GridModel& grid)
{
    // The byte order mark tells spreadsheets that would otherwise take the local code page that
    // the text is UTF-8.
    QByteArray out("\xEF\xBB\xBF");
    for (int r = 0; r < grid.rows(); ++r) {
        QStringList fields;
        for (int c = 0; c < grid.cols(); ++c)
            fields.append(grid.text(r, c));
        out.append(csvLine(fields));
    }
    return out;
}

} // namespace halvex
