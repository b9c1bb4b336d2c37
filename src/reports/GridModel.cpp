#include "reports/GridModel.h"

#include "data/Numbers.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>

namespace halvex {

namespace {

constexpr int kDefaultColWidth = 960; // twips, as the grid control sizes a new column
constexpr int kDefaultRowHeight = 240;

} // namespace

GridModel::GridModel(int rows, int cols, int fixedRows, int fixedCols)
    : m_fixedRows(fixedRows), m_fixedCols(fixedCols)
{
    setCols(cols);
    setRows(rows);
}

void GridModel::setRows(int rows)
{
    m_cells.resize(size_t(std::max(rows, 0)), std::vector<Cell>(size_t(m_cols)));
    m_rowHeight.resize(m_cells.size(), kDefaultRowHeight);
}

void GridModel::setCols(int cols)
{
    m_cols = std::max(cols, 0);
    for (auto& row : m_cells)
        row.resize(size_t(m_cols));
    m_colAlignment.resize(size_t(m_cols), -1);
    m_colWidth.resize(size_t(m_cols), kDefaultColWidth);
}

int GridModel::alignment(int row, int col) const
{
    const int own = cell(row, col).alignment;
    return own >= 0 ? own : m_colAlignment.at(size_t(col));
}

void GridModel::addItem(const QString& tabbedTexts)
{
    setRows(rows() + 1);
    const QStringList texts = tabbedTexts.split(u'\t');
    for (int c = 0; c < std::min<int>(int(texts.size()), m_cols); ++c)
        setText(rows() - 1, c, texts[c]);
}

void GridModel::removeItem(int row)
{
    m_cells.erase(m_cells.begin() + row);
    m_rowHeight.erase(m_rowHeight.begin() + row);
}

bool genericLess(const QString& a, const QString& b)
{
    const bool numA = isNumeric(a);
    const bool numB = isNumeric(b);
    if (numA != numB)
        return numA;
    if (numA)
        return numericValue(a) < numericValue(b);
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

void GridModel::sort(int column, Sort order, int firstRow, int lastRow)
{
    if (firstRow > lastRow)
        std::swap(firstRow, lastRow);
    firstRow = std::max(firstRow, m_fixedRows);
    lastRow = std::min(lastRow, rows() - 1);
    if (firstRow >= lastRow)
        return;
    std::vector<size_t> rowsInOrder(static_cast<size_t>(lastRow - firstRow + 1));
    for (size_t i = 0; i < rowsInOrder.size(); ++i)
        rowsInOrder[i] = size_t(firstRow) + i;
    auto key = [&](size_t r) -> const QString& { return m_cells[r][size_t(column)].text; };
    switch (order) {
    case Sort::GenericAscending:
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(),
                         [&](size_t x, size_t y) { return genericLess(key(x), key(y)); });
        break;
    case Sort::GenericDescending:
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(),
                         [&](size_t x, size_t y) { return genericLess(key(y), key(x)); });
        break;
    case Sort::NumericAscending:
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(), [&](size_t x, size_t y) {
            return leadingNumber(key(x)) < leadingNumber(key(y));
        });
        break;
    }
    std::vector<std::vector<Cell>> sorted;
    std::vector<int> heights;
    for (size_t r : rowsInOrder) {
        sorted.push_back(std::move(m_cells[r]));
        heights.push_back(m_rowHeight[r]);
    }
    for (size_t i = 0; i < sorted.size(); ++i) {
        m_cells[size_t(firstRow) + i] = std::move(sorted[i]);
        m_rowHeight[size_t(firstRow) + i] = heights[i];
    }
}

void GridModel::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_cols || to >= m_cols)
        return;
    auto move = [from, to](auto& v) {
        auto item = std::move(v[size_t(from)]);
        v.erase(v.begin() + from);
        v.insert(v.begin() + to, std::move(item));
    };
    for (auto& row : m_cells)
        move(row);
    move(m_colAlignment);
    move(m_colWidth);
}

Qt::Alignment cellTextAlignment(int alignment, const QString& text)
{
    static const Qt::Alignment horizontal[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[3] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (alignment >= 0 && alignment <= 8)
        return horizontal[alignment / 3] | vertical[alignment % 3];
    const bool number = isNumeric(text) || QDateTime::fromString(text, Qt::TextDate).isValid();
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

} // namespace halvex
