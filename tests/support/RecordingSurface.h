#pragma once

#include "reports/PrintSurface.h"

#include <QStringList>

namespace halvex::test {

// A print surface on paper of 60 lines with a fixed-pitch font: a character of a font of s points
// is s/10 wide and a line s/10 high, so positions read directly in average character widths.
// Every job is kept as its lines, page after page, each written "[column]text" per item; a blank
// line is "".
class RecordingSurface final : public PrintSurface
{
public:
    struct Job
    {
        QStringList lines;
        QList<float> lineSizes; // the font size of each line's last text
        bool greyScale = false;
        int pages = 1;
    };
    QList<Job> jobs;
    // Makes every later output fail as a printer gone off line does.
    QString failure;

    QSizeF pageSizeTwips() override { return {12240, 15840}; }
    QPointF twipsPerPixel() override { return {1440.0 / 10, 1440.0 / 6}; }

protected:
    double averageCharWidth() override { return font().size / 10.0; }
    double textWidth(const QString& text) override { return text.size() * averageCharWidth(); }
    double lineHeight() override { return font().size / 10.0; }
    QSizeF printableSize() override { return {80, 60}; }
    void drawText(const Position& at, const QString& text) override;
    void startPage() override;
    void finishJob() override;

private:
    Job& current();
    bool m_open = false;
    qsizetype m_pageStart = 0; // the job's line where the current page begins
};

} // namespace halvex::test
