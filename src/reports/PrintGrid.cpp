#include "reports/PrintGrid.h"

#include "race/Colours.h"
#include "reports/GridModel.h"
#include "reports/PrintSurface.h"

#include <cmath>

namespace halvex {

namespace {

constexpr qint32 kBodyBack = 0xFFFFFF;
constexpr qint32 kLines = 0x808080;

} // namespace

void clsPrintGrid::Destination(PrintSurface* printer, QPointF screenTwipsPerPixel)
{
    m_printer = printer;
    if (printer) {
        const QPointF printerTwips = printer->twipsPerPixel();
        m_scale = {screenTwipsPerPixel.x() / printerTwips.x(),
                   screenTwipsPerPixel.y() / printerTwips.y()};
    }
}

void clsPrintGrid::setPrinterOrientation(int orientation)
{
    m_orientation = orientation;
    if (m_printer)
        m_printer->setOrientation(orientation);
}

void clsPrintGrid::setSelection(int first, int last)
{
    m_selection = true;
    m_firstSelected = first;
    m_lastSelected = last;
}

double clsPrintGrid::width(int col) const
{
    return m_printer->scaleX(m_grid->colWidth(col), ScaleMode::Twips, ScaleMode::Pixels);
}

double clsPrintGrid::height(int row) const
{
    return m_printer->scaleY(m_grid->rowHeight(row), ScaleMode::Twips, ScaleMode::Pixels);
}

int clsPrintGrid::NumberOfPages()
{
    m_countOnly = true;
    const int pages = PrintGrid();
    m_countOnly = false;
    return pages;
}

int clsPrintGrid::PrintGrid()
{
    if (!m_grid || !m_printer)
        return 0;
    const ScaleMode mode = m_printer->scaleMode();
    m_printer->setScaleMode(ScaleMode::Pixels);
    m_bodyX = MarginLeft;
    for (int c = 0; c < m_grid->fixedCols(); ++c)
        m_bodyX += width(c);
    m_bodyY = MarginTop;
    for (int r = 0; r < m_grid->fixedRows(); ++r)
        m_bodyY += height(r);
    m_right = m_printer->scaleWidth() - MarginRight;
    m_bottom = m_printer->scaleHeight() - MarginBottom;
    m_lineWidth = std::nearbyint(1 * m_scale.x());

    m_page = 1;
    if (!m_countOnly && PageStart)
        PageStart(m_page);
    const int first = m_selection ? m_firstSelected : 0;
    const int last = m_selection ? m_lastSelected : m_grid->rows() - 1;
    try {
        printPage(first, last, 0, m_grid->cols() - 1, false);
        if (!m_countOnly)
            m_printer->endDocument();
    } catch (...) {
        m_printer->setScaleMode(mode);
        throw;
    }
    m_printer->setScaleMode(mode);
    return m_page;
}

void clsPrintGrid::nextPage()
{
    ++m_page;
    if (m_countOnly)
        return;
    if (PageStart)
        PageStart(m_page);
    m_printer->newPage();
}

void clsPrintGrid::printPage(int firstRow, int lastRow, int firstCol, int lastCol, bool rowsSplit)
{
    int colContinues = -1;
    int rowContinues = -1;
    double x = m_bodyX;
    bool firstColumn = true;
    for (int c = firstCol; c <= lastCol; ++c) {
        if (c < m_grid->fixedCols())
            continue;
        const double w = width(c);
        // The band's first column goes on its page even when no page is wide enough.
        if (x + w > m_right && !firstColumn) {
            colContinues = c;
            break;
        }
        firstColumn = false;
        double y = m_bodyY;
        bool firstRowOfBand = true;
        for (int r = firstRow; r <= lastRow; ++r) {
            if (r < m_grid->fixedRows())
                continue;
            const double h = height(r);
            if (y + h > m_bottom && !firstRowOfBand) {
                if (!rowsSplit)
                    rowContinues = r;
                break;
            }
            firstRowOfBand = false;
            if (!m_countOnly)
                drawCell(r, c, x, y, w, h);
            y += h;
        }
        x += w;
    }
    if (!m_countOnly)
        drawFixedCells(firstRow, lastRow, firstCol, lastCol);
    if (colContinues >= 0) {
        nextPage();
        printPage(firstRow, lastRow, colContinues, lastCol, true);
    }
    if (rowContinues >= 0) {
        nextPage();
        printPage(rowContinues, lastRow, firstCol, lastCol, false);
    }
}

void clsPrintGrid::drawFixedCells(int firstRow, int lastRow, int firstCol, int lastCol)
{
    double x = MarginLeft;
    for (int c = 0; c < m_grid->fixedCols(); ++c) {
        const double w = width(c);
        double y = MarginTop;
        for (int r = 0; r < m_grid->fixedRows(); ++r) {
            drawCell(r, c, x, y, w, height(r));
            y += height(r);
        }
        for (int r = std::max(firstRow, m_grid->fixedRows()); r <= lastRow; ++r) {
            if (y + height(r) > m_bottom)
                break;
            drawCell(r, c, x, y, w, height(r));
            y += height(r);
        }
        x += w;
    }
    double y = MarginTop;
    for (int r = 0; r < m_grid->fixedRows(); ++r) {
        double cx = m_bodyX;
        const int bandStart = std::max(firstCol, m_grid->fixedCols());
        for (int c = bandStart; c <= lastCol; ++c) {
            // The title of a column too wide for any page goes with it, clipped.
            if (cx + width(c) > m_right && c != bandStart)
                break;
            drawCell(r, c, cx, y, width(c), height(r));
            cx += width(c);
        }
        y += height(r);
    }
}

void clsPrintGrid::drawCell(int row, int col, double x, double y, double w, double h)
{
    const bool fixed = row < m_grid->fixedRows() || col < m_grid->fixedCols();
    qint32 back = fixed ? kColourLightGrey : kBodyBack;
    if (m_grid->backColour(row, col) > 0)
        back = m_grid->backColour(row, col);

    const GridFont& f = m_grid->font(row, col);
    m_printer->setFontName(f.name.isEmpty() ? kPrintFontName : f.name);
    m_printer->setFontSize(f.size > 0 ? f.size : 10);
    m_printer->setFontBold(f.bold);
    m_printer->setFontItalic(f.italic);
    m_printer->setFontStrikethrough(f.strikethrough);
    m_printer->setFontUnderline(f.underline);

    CellBox cell;
    cell.box = QRectF(x, y, w, h);
    const double insetX = 3 * m_scale.x();
    const double insetY = 3 * m_scale.y();
    cell.textRect = cell.box.adjusted(insetX, insetY, -insetX, -insetY);
    cell.text = m_grid->text(row, col);
    cell.alignment = int(cellTextAlignment(m_grid->alignment(row, col), cell.text));
    // A background is filled only where the grid lines are drawn.
    if (PrintGridLines) {
        cell.line = kLines;
        cell.lineWidth = m_lineWidth;
        cell.box.adjust(0, 0, m_lineWidth, m_lineWidth);
        if (PrintBackColor)
            cell.fill = back;
    }
    cell.textColour =
        PrintForeColor && m_grid->foreColour(row, col) >= 0 ? m_grid->foreColour(row, col) : 0;
    m_printer->drawCell(cell);
}

} // namespace halvex
