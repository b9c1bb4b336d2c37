#pragma once

#include "reports/PrintSurface.h"
#include "reports/PrinterDevice.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>

namespace halvex {

QFont qfontOf(const PrintFont& font);
// A grid cell drawn on a painter, measured for the device it paints on.
void paintCell(QPainter& painter, const CellBox& cell, const QFont& font, QPaintDevice* device);

// A print surface drawn with QPainter on a printer, one printer per job (PrinterDevice.h). Text is
// measured with the printer's own font metrics, so columns fall where the printed characters put
// them.
class QtPrintSurface : public PrintSurface
{
public:
    QtPrintSurface();
    ~QtPrintSurface() override;
    Q_DISABLE_COPY_MOVE(QtPrintSurface)

    QSizeF pageSizeTwips() override;
    QPointF twipsPerPixel() override;
    void drawCell(const CellBox& cell) override;

protected:
    // A printer for the next job, set up for its device; throws Failure when there is none.
    virtual std::unique_ptr<PrinterDevice> makePrinter() = 0;
    virtual QString deviceName() const = 0;

    double averageCharWidth() override;
    double textWidth(const QString& text) override;
    double lineHeight() override;
    QSizeF printableSize() override;
    void drawText(const Position& at, const QString& text) override;
    void startPage() override;
    void finishJob() override;
    void greyScaleSwitchedOn() override;
    void orientationChanged() override;

private:
    PrinterDevice& printer();
    QFont qfont();
    void beginJob();

    std::unique_ptr<PrinterDevice> m_printer;
    QPainter m_painter;
};

// The system's default printer (a CUPS queue), from the module `halvex-print` beside the program,
// loaded at the first job. No default printer, one that refuses the job, or no module, is a
// printing failure.
class DefaultPrinterSurface final : public QtPrintSurface
{
protected:
    std::unique_ptr<PrinterDevice> makePrinter() override;
    QString deviceName() const override { return m_name; }

private:
    QString m_name;
};

// Each job as a PDF file: the first at the given path, later ones beside it as "name-2.pdf",
// "name-3.pdf" and so on. Built in the library halvex_printer (PdfFileSurface.cpp), which links
// the print support library: for the tests and benchmarks, not the program.
class PdfFileSurface final : public QtPrintSurface
{
public:
    explicit PdfFileSurface(QString path);
    QString jobFile(int job) const;
    int jobs() const { return m_jobs; }

protected:
    std::unique_ptr<PrinterDevice> makePrinter() override;
    QString deviceName() const override { return m_path; }

private:
    QString m_path;
    int m_jobs = 0;
};

// The on-screen picture of a page: the printer's page size at the screen's resolution. A new page
// is drawn over the last one, as on a picture box, and no job ever leaves.
class PreviewSurface final : public PrintSurface
{
public:
    explicit PreviewSurface(QSizeF pageTwips, double screenDpi = 96);
    const QImage& image() const { return m_image; }

    QSizeF pageSizeTwips() override;
    QPointF twipsPerPixel() override;
    void drawCell(const CellBox& cell) override;

protected:
    double averageCharWidth() override;
    double textWidth(const QString& text) override;
    double lineHeight() override;
    QSizeF printableSize() override;
    void drawText(const Position& at, const QString& text) override;
    void startPage() override {}
    void finishJob() override {}

private:
    double m_twipsPerPixel;
    QImage m_image;
};

} // namespace halvex
