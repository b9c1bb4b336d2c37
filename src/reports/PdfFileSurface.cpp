#include "reports/QtPrintSurface.h"
#include "reports/QtPrinter.h"

#include <QDir>
#include <QFileInfo>

namespace halvex {

PdfFileSurface::PdfFileSurface(QString path) : m_path(std::move(path)) {}

QString PdfFileSurface::jobFile(int job) const
{
    if (job <= 1)
        return m_path;
    const QFileInfo info(m_path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-%1.pdf").arg(job));
}

std::unique_ptr<PrinterDevice> PdfFileSurface::makePrinter()
{
    return openPdfPrinter(jobFile(++m_jobs));
}

} // namespace halvex
