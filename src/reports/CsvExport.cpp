#include "reports/CsvExport.h"

#include "reports/GridModel.h"

namespace halvex {

namespace {

void appendField(QByteArray& out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n')) {
        out.append(bytes);
        return;
    }
    out.append('"');
    for (char ch : bytes) {
        if (ch == '"')
            out.append('"');
        out.append(ch);
    }
    out.append('"');
}

} // namespace

QByteArray gridAsCsv(const GridModel& grid)
{
    QByteArray out("\xEF\xBB\xBF");
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            if (c > 0)
                out.append(',');
            appendField(out, grid.text(r, c));
        }
        out.append("\r\n");
    }
    return out;
}

} // namespace halvex
