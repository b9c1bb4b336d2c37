#pragma once

#include "reports/GridModel.h"

#include <vector>

namespace halvex {

struct SortKey
{
    int column = 0;
    bool descending = false;
    // Carried for the callers' sake: every key compares its texts by character code.
    bool numeric = false;
};

// The multi-key sort of the race data window: the body rows sorted by each key from the least
// significant to the first, each pass a stable merge sort of the texts by their Windows-1252
// character codes (case counts; "10.1" comes before "9.5"). Each key's column title gets its
// mark in front: ">(k) " ascending, "<(k) " descending. Fewer than two body rows: no change at all.
void FG_Sort(GridModel& grid, const std::vector<SortKey>& keys);

// The column sort of a double click on a title: the same column again goes ascending,
// descending, ascending; another column starts ascending.
class ColumnSort
{
public:
    // Sorts the logged races grid by the clicked column with the grid's own sort.
    void DoColumnSort(GridModel& grid, int clickedColumn);
    int column() const { return m_column; }
    int order() const { return m_order; }

private:
    int m_column = 0;
    int m_order = 0;
};

} // namespace halvex
