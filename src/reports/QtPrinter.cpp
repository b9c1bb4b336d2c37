#include "reports/QtPrinter.h"

#include "platform/Failure.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

namespace halvex {

namespace {

class QtPrinterDevice final : public PrinterDevice
{
public:
    template <typename... Args>
    explicit QtPrinterDevice(Args&&... args) : m_printer(std::forward<Args>(args)...)
    {}
    QPrinter& printer() { return m_printer; }

    QPagedPaintDevice& device() override { return m_printer; }
    int resolution() const override { return m_printer.resolution(); }
    void setGreyScale() override { m_printer.setColorMode(QPrinter::GrayScale); }
    bool failed() const override { return m_printer.printerState() == QPrinter::Error; }

private:
    QPrinter m_printer;
};

// A queue set to refuse jobs takes the program's job without a word and drops it, so the print
// system is asked first. Without its query tool nothing is known, and printing goes ahead.
bool queueRefusesJobs(const QString& queue)
{
    QProcess lpstat;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    lpstat.setProcessEnvironment(env);
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-a"), queue});
    if (!lpstat.waitForFinished(3000)) {
        lpstat.kill();
        lpstat.waitForFinished(1000);
        return false;
    }
    return lpstat.readAllStandardOutput().contains("not accepting");
}

} // namespace

std::unique_ptr<PrinterDevice> openDefaultPrinter(QString& name)
{
    // Without a print system a native QPrinter quietly becomes a PDF writer with nowhere to
    // write, so ask for the default printer first.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw Failure(QStringLiteral("No default printer is installed. Install a printer and "
                                     "make it the default printer, then print again."));
    name = info.printerName();
    if (queueRefusesJobs(name))
        throw Failure(QStringLiteral("The printer \"%1\" did not accept the job.").arg(name));
    auto p = std::make_unique<QtPrinterDevice>(info, QPrinter::HighResolution);
    p->printer().setDocName(QStringLiteral("Halvex 3000"));
    p->printer().setFullPage(false);
    return p;
}

std::unique_ptr<PrinterDevice> openPdfPrinter(const QString& path)
{
    auto p = std::make_unique<QtPrinterDevice>(QPrinter::HighResolution);
    p->printer().setOutputFormat(QPrinter::PdfFormat);
    p->printer().setOutputFileName(path);
    p->printer().setFullPage(false);
    return p;
}

} // namespace halvex

// The entry of the module `halvex-print`: the program's DefaultPrinterSurface calls it for each
// job. Exceptions stay on this side of the module: a failure comes back as its description.
extern "C" Q_DECL_EXPORT halvex::PrinterDevice* halvexOpenDefaultPrinter(QString* name,
                                                                         QString* error)
{
    try {
        return halvex::openDefaultPrinter(*name).release();
    } catch (const halvex::Failure& f) {
        *error = f.description();
        return nullptr;
    }
}
