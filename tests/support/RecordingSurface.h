#pragma once

#include "platform/Failure.h"
#include "reports/PrintSurface.h"

#include <QStringList>

namespace halvex::test {

// A fixed-pitch surface (characters and lines a tenth of the font's points, 60 lines a page) that
// keeps each job's lines, page after page, as "[column]text" per item ("" for a blank line).
class RecordingSurface final : public PrintSurface
{
public:
    struct Job
    {
        QStringList lines;
        QStringList lineSizes; // the font size in points of each line's last text
        bool greyScale = false;
        // Grid cells as "page|x,y|text", pages counted from 1.
        QStringList cells;
        QList<QRectF> boxes; // each cell's box, as drawn
    };
    QList<Job> jobs;
    QString failure; // when set, every output fails as a printer gone off line does

    QSizeF pageSizeTwips() override { return {12240, 15840}; }
    QPointF twipsPerPixel() override { return {144, 240}; }
    void drawCell(const CellBox& cell) override
    {
        Job& job = current();
        job.cells.append(QStringLiteral("%1|%2,%3|%4")
                             .arg(m_page)
                             .arg(cell.box.x())
                             .arg(cell.box.y())
                             .arg(cell.text));
        job.boxes.append(cell.box);
    }

protected:
    double averageCharWidth() override { return font().size / 10.0; }
    double textWidth(const QString& text) override { return text.size() * averageCharWidth(); }
    double lineHeight() override { return font().size / 10.0; }
    QSizeF printableSize() override { return {80, 60}; }
    void drawText(const Position& at, const QString& text) override
    {
        Job& job = current();
        job.greyScale = greyScale();
        const qsizetype line = m_pageStart + at.line;
        job.lines.resize(std::max(job.lines.size(), line + 1));
        job.lineSizes.resize(job.lines.size());
        job.lines[line] += QStringLiteral("[%1]").arg(at.x / averageCharWidth() + 1) + text;
        job.lineSizes[line] = QString::number(font().size);
    }
    void startPage() override
    {
        m_pageStart = current().lines.size();
        ++m_page;
    }
    void finishJob() override { m_open = false; }

private:
    Job& current()
    {
        if (!failure.isEmpty())
            throw Failure(failure);
        if (!std::exchange(m_open, true)) {
            jobs.append(Job{});
            m_pageStart = 0;
            m_page = 1;
        }
        return jobs.last();
    }
    bool m_open = false;
    qsizetype m_pageStart = 0;
    int m_page = 1;
};

} // namespace halvex::test
