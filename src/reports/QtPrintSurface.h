#pragma once

#include "reports/PrintSurface.h"

#include <QFont>
#include <QPainter>

#include <memory>

class QPrinter;

namespace halvex {

// A print surface drawn with QPainter on a QPrinter, one QPrinter per job. Text is measured with
// the printer's own font metrics, so columns fall where the printed characters put them.
class QtPrintSurface : public PrintSurface
{
public:
    QtPrintSurface();
    ~QtPrintSurface() override;

    QSizeF pageSizeTwips() override;
    QPointF twipsPerPixel() override;
    void drawCell(const CellBox& cell) override;

protected:
    // A printer for the next job, set up for its device; throws Failure when there is none.
    virtual std::unique_ptr<QPrinter> makePrinter() = 0;
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
    QPrinter& printer();
    QFont qfont();
    void beginJob();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
};

// The system's default printer (a CUPS queue). No default printer, or one that refuses the job,
// is a printing failure.
class DefaultPrinterSurface final : public QtPrintSurface
{
protected:
    std::unique_ptr<QPrinter> makePrinter() override;
    QString deviceName() const override { return m_name; }

private:
    QString m_name;
};

// Each job as a PDF file: the first at the given path, later ones beside it as "name-2.pdf",
// "name-3.pdf" and so on.
class PdfFileSurface final : public QtPrintSurface
{
public:
    explicit PdfFileSurface(QString path);
    QString jobFile(int job) const;
    int jobs() const { return m_jobs; }

protected:
    std::unique_ptr<QPrinter> makePrinter() override;
    QString deviceName() const override { return m_path; }

private:
    QString m_path;
    int m_jobs = 0;
};

} // namespace halvex
