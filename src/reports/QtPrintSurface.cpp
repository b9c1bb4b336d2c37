#include "reports/QtPrintSurface.h"

#include "platform/Failure.h"
#include "platform/Module.h"
#include "race/LabelColour.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPen>

namespace halvex {

QtPrintSurface::QtPrintSurface() = default;

QtPrintSurface::~QtPrintSurface()
{
    // A job left open at the end of the run still goes out.
    if (m_painter.isActive())
        m_painter.end();
}

PrinterDevice& QtPrintSurface::printer()
{
    if (!m_printer) {
        m_printer = makePrinter();
        m_printer->device().setPageOrientation(orientation() == 2 ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
        if (greyScale())
            m_printer->setGreyScale();
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
    if (!m_painter.begin(&printer().device())) {
        m_printer.reset();
        throw Failure(QStringLiteral("The printer \"%1\" could not start printing. Check that it "
                                     "is switched on and on line.")
                          .arg(deviceName()));
    }
}

double QtPrintSurface::averageCharWidth()
{
    return QFontMetricsF(qfont(), &printer().device()).averageCharWidth();
}

double QtPrintSurface::textWidth(const QString& text)
{
    return QFontMetricsF(qfont(), &printer().device()).horizontalAdvance(text);
}

double QtPrintSurface::lineHeight()
{
    return QFontMetricsF(qfont(), &printer().device()).lineSpacing();
}

QSizeF QtPrintSurface::printableSize()
{
    return printer().device().pageLayout().paintRectPixels(printer().resolution()).size();
}

void QtPrintSurface::drawText(const Position& at, const QString& text)
{
    beginJob();
    const QFont f = qfont();
    m_painter.setFont(f);
    m_painter.drawText(QPointF(at.x, at.y + QFontMetricsF(f, &printer().device()).ascent()), text);
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
    paintCell(m_painter, cell, qfont(), &printer().device());
}

void QtPrintSurface::startPage()
{
    beginJob();
    if (!m_printer->device().newPage())
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
    const bool failed = m_printer->failed();
    m_printer.reset();
    if (failed)
        throw Failure(
            QStringLiteral("The printer \"%1\" did not accept the job.").arg(deviceName()));
}

void QtPrintSurface::greyScaleSwitchedOn()
{
    if (m_printer)
        m_printer->setGreyScale();
}

void QtPrintSurface::orientationChanged()
{
    if (m_printer)
        m_printer->device().setPageOrientation(orientation() == 2 ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
}

QSizeF QtPrintSurface::pageSizeTwips()
{
    return printer().device().pageLayout().fullRectPoints().size() * 20.0;
}

QPointF QtPrintSurface::twipsPerPixel()
{
    const double t = 1440.0 / printer().resolution();
    return {t, t};
}

std::unique_ptr<PrinterDevice> DefaultPrinterSurface::makePrinter()
{
    using Open = PrinterDevice*(QString * name, QString * error);
    QString error;
    auto* open =
        moduleFunction<Open>(QStringLiteral("halvex-print"), "halvexOpenDefaultPrinter", &error);
    if (!open)
        throw Failure(QStringLiteral("Printing is not available: %1").arg(error));
    std::unique_ptr<PrinterDevice> printer(open(&m_name, &error));
    if (!printer)
        throw Failure(error);
    return printer;
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
