#pragma once

#include <QPointF>

#include <functional>

namespace halvex {

class GridModel;
class PrintSurface;

// A grid printed cell by cell in its own column widths, row heights, fonts and alignments, over
// as many pages as it needs: across first, then down, the fixed cells on every page. Counting the
// pages draws nothing. A row or column too large for any page is drawn clipped on a page of its
// own, so the pages always come to an end.
class clsPrintGrid
{
public:
    int MarginLeft = 0; // device pixels
    int MarginTop = 0;
    int MarginRight = 0;
    int MarginBottom = 0;
    bool PrintBackColor = false;
    bool PrintForeColor = false;
    bool PrintGridLines = false;
    // Raised at the start of every page printed (not while counting).
    std::function<void(int page)> PageStart;

    void Source(const GridModel* grid) { m_grid = grid; }
    // The printer, with the screen's twips per pixel for the scale between the two.
    void Destination(PrintSurface* printer, QPointF screenTwipsPerPixel);
    int PrinterOrientation() const { return m_orientation; }
    void setPrinterOrientation(int orientation);
    // Print Selection: only the body rows from first to last (none when first is after last).
    void setSelection(int first, int last);

    // Prints, ends the document, and returns the number of pages. Printer failures throw.
    int PrintGrid();
    int NumberOfPages();

private:
    void printPage(int firstRow, int lastRow, int firstCol, int lastCol, bool rowsSplit);
    void drawFixedCells(int firstRow, int lastRow, int firstCol, int lastCol);
    void drawCell(int row, int col, double x, double y, double w, double h);
    void nextPage();
    double width(int col) const;
    double height(int row) const;

    const GridModel* m_grid = nullptr;
    PrintSurface* m_printer = nullptr;
    QPointF m_scale{1, 1};
    int m_orientation = 1;
    bool m_selection = false;
    int m_firstSelected = 0;
    int m_lastSelected = 0;
    bool m_countOnly = false;
    int m_page = 1;
    double m_bodyX = 0;
    double m_bodyY = 0;
    double m_right = 0;
    double m_bottom = 0;
    double m_lineWidth = 0;
};

} // namespace halvex
