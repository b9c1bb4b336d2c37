#include "reports/GridSort.h"

#include "data/Cp1252.h"

#include <algorithm>

namespace halvex {

void FG_Sort(GridModel& grid, const std::vector<SortKey>& keys)
{
    const int fixed = grid.fixedRows();
    const int n = grid.rows() - fixed;
    if (n < 2)
        return;
    // Each row's texts in the code page's bytes, compared as the system compared characters.
    std::vector<std::vector<QByteArray>> rows(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < grid.cols(); ++c)
            rows[size_t(r)].push_back(toCp1252(grid.text(fixed + r, c)));
    std::vector<std::vector<QString>> texts(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < grid.cols(); ++c)
            texts[size_t(r)].push_back(grid.text(fixed + r, c));

    std::vector<size_t> order(static_cast<size_t>(n));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (size_t k = keys.size(); k-- > 0;) {
        const SortKey& key = keys[k];
        const auto col = size_t(key.column);
        if (key.column < 0 || key.column >= grid.cols())
            continue;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return key.descending ? rows[b][col] < rows[a][col] : rows[a][col] < rows[b][col];
        });
        const QString mark =
            (key.descending ? QStringLiteral("<(%1) ") : QStringLiteral(">(%1) ")).arg(k + 1);
        grid.setText(0, key.column, mark + grid.text(0, key.column));
    }
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < grid.cols(); ++c)
            grid.setText(fixed + r, c, texts[order[size_t(r)]][size_t(c)]);
}

void ColumnSort::DoColumnSort(GridModel& grid, int clickedColumn)
{
    if (clickedColumn == m_column) {
        ++m_order;
        if (m_order == 3)
            m_order = 1;
    } else {
        m_order = 1;
    }
    m_column = clickedColumn;
    grid.setRow(1);
    grid.setRowSel(grid.rows() - 1);
    grid.sort(m_column,
              m_order == 1 ? GridModel::Sort::GenericAscending : GridModel::Sort::GenericDescending,
              1, grid.rows() - 1);
}

} // namespace halvex
