#include "platform/Failure.h"
#include "platform/Module.h"
#include "reports/XlsxExport.h"

namespace halvex {

// The workbook writer and its libraries (the zip and the digest libraries among them) live in the
// module `halvex-xlsx` beside the program, loaded at the first workbook: they are not needed to
// start the program.
QByteArray gridAsWorkbook(const GridModel& grid, const QString& sheetName)
{
    using Write = bool(const GridModel&, const QString&, QByteArray*, QString*);
    QString error;
    auto* write =
        moduleFunction<Write>(QStringLiteral("halvex-xlsx"), "halvexGridAsWorkbook", &error);
    if (!write)
        throw Failure(QStringLiteral("Cannot write the workbook: %1").arg(error));
    QByteArray book;
    if (!write(grid, sheetName, &book, &error))
        throw Failure(error);
    return book;
}

} // namespace halvex
