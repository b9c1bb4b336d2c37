#include "reports/QtPrintSurface.h"

#include "platform/Failure.h"
#include "race/LabelColour.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

namespace halvex {

namespace {

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

QtPrintSurface::QtPrintSurface() = default;

QtPrintSurface::~QtPrintSurface()
{
    // A job left open at the end of the run still goes out.
    if (m_painter.isActive())
        m_painter.end();
}

QPrinter& QtPrintSurface::printer()
{
    if (!m_printer) {
        m_printer = makePrinter();
        m_printer->setFullPage(false);
        m_printer->setPageOrientation(orientation() == 2 ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait);
        if (greyScale())
            m_printer->setColorMode(QPrinter::GrayScale);
    }
    return *m_printer;
}

QFont qfontOf(const PrintFont& f)
{
    QFont q(f.name);
    q.setPointSizeF(f.size);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setStrikeOut(f.strikethrough);
    q.setUnderline(f.underline);
    // A ligature ("fi" in "Modified") reaches the PDF as one glyph without its letters, so the
    // printed word no longer reads back. Any letter spacing turns ligatures off; this one is far
    // below what a printer can show.
    q.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 64);
    return q;
}

QFont QtPrintSurface::qfont()
{
    return qfontOf(font());
}

void QtPrintSurface::beginJob()
{
    if (m_painter.isActive())
        return;
    if (!m_painter.begin(&printer())) {
        m_printer.reset();
        throw Failure(QStringLiteral("The printer \"%1\" could not start printing. Check that it "
                                     "is switched on and on line.")
                          .arg(deviceName()));
    }
}

double QtPrintSurface::averageCharWidth()
{
    return QFontMetricsF(qfont(), &printer()).averageCharWidth();
}

double QtPrintSurface::textWidth(const QString& text)
{
    return QFontMetricsF(qfont(), &printer()).horizontalAdvance(text);
}

double QtPrintSurface::lineHeight()
{
    return QFontMetricsF(qfont(), &printer()).lineSpacing();
}

QSizeF QtPrintSurface::printableSize()
{
    return printer().pageLayout().paintRectPixels(printer().resolution()).size();
}

void QtPrintSurface::drawText(const Position& at, const QString& text)
{
    beginJob();
    const QFont f = qfont();
    m_painter.setFont(f);
    m_painter.drawText(QPointF(at.x, at.y + QFontMetricsF(f, &printer()).ascent()), text);
}

void paintCell(QPainter& painter, const CellBox& cell, const QFont& font, QPaintDevice* device)
{
    painter.save();
    if (cell.fill >= 0)
        painter.fillRect(cell.box, colourOf(cell.fill));
    if (cell.line >= 0) {
        painter.setPen(QPen(colourOf(cell.line), cell.lineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cell.box);
    }
    painter.setFont(font);
    painter.setPen(colourOf(cell.textColour));
    painter.setClipRect(cell.box);
    // Placed by hand and drawn from its base line: text laid out in a rectangle reaches the
    // print system with glyphs (the decimal point among them) it cannot read back.
    const QFontMetricsF metrics(font, device);
    const QRectF& r = cell.textRect;
    const double width = metrics.horizontalAdvance(cell.text);
    double x = r.left();
    if (cell.alignment & Qt::AlignHCenter)
        x = r.left() + (r.width() - width) / 2;
    else if (cell.alignment & Qt::AlignRight)
        x = r.right() - width;
    double y = r.top() + metrics.ascent();
    if (cell.alignment & Qt::AlignVCenter)
        y = r.center().y() - (metrics.ascent() + metrics.descent()) / 2 + metrics.ascent();
    else if (cell.alignment & Qt::AlignBottom)
        y = r.bottom() - metrics.descent();
    painter.drawText(QPointF(x, y), cell.text);
    painter.restore();
}

void QtPrintSurface::drawCell(const CellBox& cell)
{
    beginJob();
    paintCell(m_painter, cell, qfont(), &printer());
}

void QtPrintSurface::startPage()
{
    beginJob();
    if (!m_printer->newPage())
        throw Failure(
            QStringLiteral("The printer \"%1\" could not start a new page.").arg(deviceName()));
}

void QtPrintSurface::finishJob()
{
    if (!m_painter.isActive()) {
        m_printer.reset();
        return;
    }
    m_painter.end();
    const bool failed = m_printer->printerState() == QPrinter::Error;
    m_printer.reset();
    if (failed)
        throw Failure(
            QStringLiteral("The printer \"%1\" did not accept the job.").arg(deviceName()));
}

void QtPrintSurface::greyScaleSwitchedOn()
{
    if (m_printer)
        m_printer->setColorMode(QPrinter::GrayScale);
}

void QtPrintSurface::orientationChanged()
{
    if (m_printer)
        m_printer->setPageOrientation(orientation() == 2 ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait);
}

QSizeF QtPrintSurface::pageSizeTwips()
{
    return printer().pageLayout().fullRectPoints().size() * 20.0;
}

QPointF QtPrintSurface::twipsPerPixel()
{
    const double t = 1440.0 / printer().resolution();
    return {t, t};
}

std::unique_ptr<QPrinter> DefaultPrinterSurface::makePrinter()
{
    // Without a print system a native QPrinter quietly becomes a PDF writer with nowhere to
    // write, so ask for the default printer first.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw Failure(QStringLiteral("No default printer is installed. Install a printer and "
                                     "make it the default printer, then print again."));
    m_name = info.printerName();
    if (queueRefusesJobs(m_name))
        throw Failure(QStringLiteral("The printer \"%1\" did not accept the job.").arg(m_name));
    auto p = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    p->setDocName(QStringLiteral("Halvex 3000"));
    return p;
}

PdfFileSurface::PdfFileSurface(QString path) : m_path(std::move(path)) {}

QString PdfFileSurface::jobFile(int job) const
{
    if (job <= 1)
        return m_path;
    const QFileInfo info(m_path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-%1.pdf").arg(job));
}

std::unique_ptr<QPrinter> PdfFileSurface::makePrinter()
{
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(jobFile(++m_jobs));
    return p;
}

} // namespace halvex

namespace halvex {

PreviewSurface::PreviewSurface(QSizeF pageTwips, double screenDpi)
    : m_twipsPerPixel(1440.0 / screenDpi),
      m_image((pageTwips / m_twipsPerPixel).toSize(), QImage::Format_RGB32)
{
    m_image.fill(Qt::white);
}

QSizeF PreviewSurface::pageSizeTwips()
{
    return QSizeF(m_image.size()) * m_twipsPerPixel;
}

QPointF PreviewSurface::twipsPerPixel()
{
    return {m_twipsPerPixel, m_twipsPerPixel};
}

void PreviewSurface::drawCell(const CellBox& cell)
{
    QPainter painter(&m_image);
    paintCell(painter, cell, qfontOf(font()), &m_image);
}

double PreviewSurface::averageCharWidth()
{
    return QFontMetricsF(qfontOf(font()), &m_image).averageCharWidth();
}

double PreviewSurface::textWidth(const QString& text)
{
    return QFontMetricsF(qfontOf(font()), &m_image).horizontalAdvance(text);
}

double PreviewSurface::lineHeight()
{
    return QFontMetricsF(qfontOf(font()), &m_image).lineSpacing();
}

QSizeF PreviewSurface::printableSize()
{
    return m_image.size();
}

void PreviewSurface::drawText(const Position& at, const QString& text)
{
    QPainter painter(&m_image);
    const QFont f = qfontOf(font());
    painter.setFont(f);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(at.x, at.y + QFontMetricsF(f, &m_image).ascent()), text);
}

} // namespace halvex
