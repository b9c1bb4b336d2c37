// The grid printout's page layout fed any grid, page and margins: the pages always end, counting
// them draws nothing and gives the same number, every body cell of the printed rows lands on
// exactly one page, and every page carries the titles of the columns it prints.

#include "FuzzInput.h"
#include "reports/PrintGrid.h"
#include "reports/PrintSurface.h"

#include <map>
#include <set>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// A surface of a given page that notes each cell drawn with the page it is on.
class PageSurface final : public PrintSurface
{
public:
    QSizeF printable;
    QPointF pixelTwips;
    int pagesStarted = 0;
    int jobs = 0;
    std::vector<std::pair<int, QString>> cells; // page from 1, text

    QSizeF pageSizeTwips() override
    {
        return {printable.width() * pixelTwips.x(), printable.height() * pixelTwips.y()};
    }
    QPointF twipsPerPixel() override { return pixelTwips; }
    void drawCell(const CellBox& cell) override { cells.emplace_back(pagesStarted + 1, cell.text); }

protected:
    double averageCharWidth() override { return 8; }
    double textWidth(const QString& text) override { return 8.0 * text.size(); }
    double lineHeight() override { return 16; }
    QSizeF printableSize() override { return printable; }
    void drawText(const Position&, const QString&) override {}
    void startPage() override { ++pagesStarted; }
    void finishJob() override { ++jobs; }
};

// Each cell's text starts with its position, so the drawing can be traced back to it; a number
// on its own or followed by any text, so general alignment sees numbers and others.
QString cellText(int row, int col, const QString& extra)
{
    const QString id = QString::number(row * 1000 + col);
    return extra.isNull() ? id : id + u'|' + extra;
}

std::pair<int, int> cellOf(const QString& text)
{
    const int id = text.section(u'|', 0, 0).toInt();
    return {id / 1000, id % 1000};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int rows = in.ConsumeIntegralInRange(0, 60);
    const int cols = in.ConsumeIntegralInRange(0, 12);
    GridModel grid(rows, cols, in.ConsumeIntegralInRange(0, std::min(rows, 2)),
                   in.ConsumeIntegralInRange(0, std::min(cols, 2)));
    for (int c = 0; c < cols; ++c) {
        grid.setColWidth(c, in.ConsumeIntegralInRange(0, 30000));
        grid.setColumnAlignment(c, in.ConsumeIntegralInRange(-1, 10));
    }
    for (int r = 0; r < rows; ++r) {
        grid.setRowHeight(r, in.ConsumeIntegralInRange(0, 20000));
        for (int c = 0; c < cols; ++c) {
            const bool plain = in.ConsumeBool();
            grid.setText(r, c, cellText(r, c, plain ? QString() : halvex::fuzz::anyText(in, 16)));
            grid.setCellAlignment(r, c, in.ConsumeIntegralInRange(-1, 10));
            GridFont font;
            font.size = float(in.ConsumeIntegralInRange(0, 72));
            font.bold = in.ConsumeBool();
            grid.setFont(r, c, font);
        }
    }

    PageSurface surface;
    surface.printable =
        QSizeF(in.ConsumeIntegralInRange(50, 6000), in.ConsumeIntegralInRange(50, 8000));
    surface.pixelTwips =
        QPointF(in.ConsumeIntegralInRange(1, 40), in.ConsumeIntegralInRange(1, 40));
    clsPrintGrid printout;
    printout.Source(&grid);
    printout.Destination(
        &surface, QPointF(in.ConsumeIntegralInRange(1, 30), in.ConsumeIntegralInRange(1, 30)));
    printout.MarginLeft = in.ConsumeIntegralInRange(0, 600);
    printout.MarginTop = in.ConsumeIntegralInRange(0, 600);
    printout.MarginRight = in.ConsumeIntegralInRange(0, 600);
    printout.MarginBottom = in.ConsumeIntegralInRange(0, 600);
    printout.PrintGridLines = in.ConsumeBool();
    printout.PrintBackColor = in.ConsumeBool();
    printout.PrintForeColor = in.ConsumeBool();
    int first = 0;
    int last = rows - 1;
    if (rows > 0 && in.ConsumeBool()) {
        first = in.ConsumeIntegralInRange(0, rows - 1);
        last = in.ConsumeIntegralInRange(0, rows - 1);
        printout.setSelection(first, last);
    }
    int pageEvents = 0;
    printout.PageStart = [&pageEvents](int page) { check(page == ++pageEvents, "pages in order"); };

    const int counted = printout.NumberOfPages();
    check(surface.cells.empty() && surface.pagesStarted == 0 && surface.jobs == 0 &&
              pageEvents == 0,
          "counting draws nothing");
    const int printed = printout.PrintGrid();
    check(printed == counted, "counting gives the pages printed");
    check(printed == surface.pagesStarted + 1 && printed == pageEvents, "one page at a time");
    check(surface.jobs == 1, "the printout is one job");

    std::map<std::pair<int, int>, int> bodyDrawn;
    std::map<int, std::set<int>> bodyColumns, titleColumns;
    for (const auto& [page, text] : surface.cells) {
        const auto [r, c] = cellOf(text);
        check(text == grid.text(r, c), "the cell's own text");
        if (r >= grid.fixedRows() && c >= grid.fixedCols()) {
            ++bodyDrawn[{r, c}];
            bodyColumns[page].insert(c);
        } else if (r < grid.fixedRows() && c >= grid.fixedCols()) {
            titleColumns[page].insert(c);
        }
    }
    for (int r = grid.fixedRows(); r < rows; ++r) {
        const bool inRange = r >= first && r <= last;
        for (int c = grid.fixedCols(); c < cols; ++c) {
            const auto it = bodyDrawn.find({r, c});
            const int times = it == bodyDrawn.end() ? 0 : it->second;
            check(times == (inRange ? 1 : 0), "each printed body cell on exactly one page");
        }
    }
    if (grid.fixedRows() > 0)
        for (const auto& [page, columns] : bodyColumns)
            for (int c : columns)
                check(titleColumns[page].count(c) == 1, "a page carries its columns' titles");
    return 0;
}
