#pragma once

#include <QString>

#include <vector>

namespace halvex {

struct GridFont
{
    bool bold = false;
    QString name;
    float size = 0; // 0: the grid's own
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;

    bool operator==(const GridFont&) const = default;
};

// The grid the race data window shows, prints and exports: rows and columns of texts, fixed
// (title) rows and columns, per-cell fonts, alignments (0 to 9, -1 for the column's) and colours
// (-1 for the grid's own), column widths and row heights in twips, a selection of rows, and the
// grid's own sorts. It starts as the grid control does: one fixed row, one empty body row.
class GridModel
{
public:
    enum class Sort
    {
        GenericAscending = 1,
        GenericDescending = 2,
        NumericAscending = 3,
    };

    GridModel(int rows = 2, int cols = 2, int fixedRows = 1, int fixedCols = 0);

    int rows() const { return int(m_cells.size()); }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }

    const QString& text(int row, int col) const { return cell(row, col).text; }
    void setText(int row, int col, const QString& text) { cell(row, col).text = text; }
    const GridFont& font(int row, int col) const { return cell(row, col).font; }
    void setFont(int row, int col, const GridFont& font) { cell(row, col).font = font; }
    int alignment(int row, int col) const;
    void setCellAlignment(int row, int col, int alignment) { cell(row, col).alignment = alignment; }
    void setColumnAlignment(int col, int alignment) { m_colAlignment.at(size_t(col)) = alignment; }
    qint32 backColour(int row, int col) const { return cell(row, col).back; }
    void setBackColour(int row, int col, qint32 colour) { cell(row, col).back = colour; }
    qint32 foreColour(int row, int col) const { return cell(row, col).fore; }
    void setForeColour(int row, int col, qint32 colour) { cell(row, col).fore = colour; }
    int colWidth(int col) const { return m_colWidth.at(size_t(col)); }
    void setColWidth(int col, int twips) { m_colWidth.at(size_t(col)) = twips; }
    int rowHeight(int row) const { return m_rowHeight.at(size_t(row)); }
    void setRowHeight(int row, int twips) { m_rowHeight.at(size_t(row)) = twips; }

    // A new last row from tab-separated texts; texts past the last column are dropped.
    void addItem(const QString& tabbedTexts);
    void removeItem(int row);

    // The selected rows, row to rowSel, in either direction.
    int row() const { return m_row; }
    int rowSel() const { return m_rowSel; }
    void setRow(int row) { m_row = row; }
    void setRowSel(int row) { m_rowSel = row; }

    // Sorts the rows from firstRow to lastRow by a column; every sort keeps equal rows in order.
    void sort(int column, Sort order, int firstRow, int lastRow);
    // Moves a column with its cells, widths and alignment to another position.
    void moveColumn(int from, int to);

private:
    struct Cell
    {
        QString text;
        GridFont font;
        int alignment = -1;
        qint32 back = -1;
        qint32 fore = -1;
    };
    Cell& cell(int row, int col) { return m_cells.at(size_t(row)).at(size_t(col)); }
    const Cell& cell(int row, int col) const { return m_cells.at(size_t(row)).at(size_t(col)); }

    std::vector<std::vector<Cell>> m_cells;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    std::vector<int> m_colAlignment;
    std::vector<int> m_colWidth;
    std::vector<int> m_rowHeight;
    int m_row = 0;
    int m_rowSel = 0;
};

// The generic sort's order of two cells: numbers (by the program's own numeric test) before
// texts and by value, texts without regard to case. A total order.
bool genericLess(const QString& a, const QString& b);

// Where a cell's text sits, on screen and on paper alike: alignments 0 to 8 are left, centre,
// right, each top, centre, bottom; general (9, and a cell and column without one) puts a number
// or a date right and any other text left, centred vertically.
Qt::Alignment cellTextAlignment(int alignment, const QString& text);

} // namespace halvex
