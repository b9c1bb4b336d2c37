// The race data window's sorts fed any texts and any keys: the multi-key sort and the grid's own
// column sorts give a permutation of the rows, ordered by their comparison and stable, and the
// generic comparison is a strict weak order.

#include "FuzzInput.h"
#include "data/Cp1252.h"
#include "data/MasterList.h"
#include "data/Numbers.h"
#include "reports/GridSort.h"

#include <set>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// Each body row carries its original position in one more column that no key names.
int idOf(const GridModel& grid, int row)
{
    return grid.text(row, grid.cols() - 1).toInt();
}

void checkPermutation(const GridModel& before, const GridModel& after, int first, int last)
{
    std::set<int> seen;
    for (int r = first; r <= last; ++r) {
        const int id = idOf(after, r);
        check(id >= first && id <= last && seen.insert(id).second, "the rows are a permutation");
        for (int c = 0; c < after.cols(); ++c)
            check(after.text(r, c) == before.text(id, c), "rows move whole");
    }
}

void multiKeySort(FuzzedDataProvider& in, const GridModel& grid, int dataCols)
{
    std::vector<SortKey> keys(in.ConsumeIntegralInRange<size_t>(0, 4));
    for (SortKey& key : keys)
        key = {in.ConsumeIntegralInRange(0, dataCols - 1), in.ConsumeBool(), in.ConsumeBool()};
    GridModel sorted = grid;
    FG_Sort(sorted, keys);
    const int fixed = grid.fixedRows();
    if (grid.rows() - fixed < 2) {
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                check(sorted.text(r, c) == grid.text(r, c), "one body row changes nothing");
        return;
    }
    checkPermutation(grid, sorted, fixed, grid.rows() - 1);
    for (int r = fixed + 1; r < grid.rows(); ++r) {
        int order = 0; // < 0: row r - 1 first, > 0: row r first
        for (const SortKey& key : keys) {
            const QByteArray a = toCp1252(sorted.text(r - 1, key.column));
            const QByteArray b = toCp1252(sorted.text(r, key.column));
            order = a == b ? 0 : ((a < b) != key.descending ? -1 : 1);
            if (order != 0)
                break;
        }
        check(order <= 0, "rows in key order");
        if (order == 0)
            check(idOf(sorted, r - 1) < idOf(sorted, r), "equal keys keep their order");
    }
    if (fixed == 0)
        return;
    for (int c = 0; c < dataCols; ++c) {
        QString marks;
        for (size_t k = 0; k < keys.size(); ++k)
            if (keys[k].column == c)
                marks += (keys[k].descending ? QStringLiteral("<(") : QStringLiteral(">(")) +
                         QString::number(k + 1) + QStringLiteral(") ");
        check(sorted.text(0, c) == marks + grid.text(0, c), "each key marks its title");
    }
}

void columnSort(FuzzedDataProvider& in, const GridModel& grid, int dataCols)
{
    const int column = in.ConsumeIntegralInRange(0, dataCols - 1);
    const auto order = GridModel::Sort(in.ConsumeIntegralInRange(1, 3));
    const int from = in.ConsumeIntegralInRange(-2, grid.rows() + 2);
    const int to = in.ConsumeIntegralInRange(-2, grid.rows() + 2);
    GridModel sorted = grid;
    sorted.sort(column, order, from, to);
    const int first = std::max(std::min(from, to), grid.fixedRows());
    const int last = std::min(std::max(from, to), grid.rows() - 1);
    for (int r = 0; r < grid.rows(); ++r)
        if (r < first || r > last)
            check(idOf(sorted, r) == r, "rows outside the range stay");
    if (first >= last)
        return;
    checkPermutation(grid, sorted, first, last);
    for (int r = first + 1; r <= last; ++r) {
        const QString& a = sorted.text(r - 1, column);
        const QString& b = sorted.text(r, column);
        bool before = false;
        bool after = false;
        switch (order) {
        case GridModel::Sort::GenericAscending:
            before = genericLess(a, b);
            after = genericLess(b, a);
            break;
        case GridModel::Sort::GenericDescending:
            before = genericLess(b, a);
            after = genericLess(a, b);
            break;
        case GridModel::Sort::NumericAscending:
            before = leadingNumber(a) < leadingNumber(b);
            after = leadingNumber(b) < leadingNumber(a);
            break;
        }
        check(!after, "rows in the sort's order");
        if (!before)
            check(idOf(sorted, r - 1) < idOf(sorted, r), "equal cells keep their order");
    }
}

void genericOrder(FuzzedDataProvider& in)
{
    const QString t[3] = {halvex::fuzz::anyText(in, 24), halvex::fuzz::anyText(in, 24),
                          halvex::fuzz::anyText(in, 24)};
    auto equivalent = [](const QString& a, const QString& b) {
        return !genericLess(a, b) && !genericLess(b, a);
    };
    for (const QString& a : t) {
        check(!genericLess(a, a), "no text before itself");
        for (const QString& b : t) {
            check(!(genericLess(a, b) && genericLess(b, a)), "never both ways");
            for (const QString& c : t) {
                if (genericLess(a, b) && genericLess(b, c))
                    check(genericLess(a, c), "before is transitive");
                if (equivalent(a, b) && equivalent(b, c))
                    check(equivalent(a, c), "equal is transitive");
            }
        }
    }
}

// The master lists' order: every name once, in the order of their comparison, and names that
// compare equal in the order the file gave them.
void listNameSort(const GridModel& grid)
{
    QStringList bare;
    for (int r = 0; r < grid.rows(); ++r)
        bare.append(grid.text(r, 0));
    const QStringList sorted = sortedListNames(bare);
    check(sorted.size() == bare.size(), "every name once");
    std::vector<int> positions;
    std::vector<bool> used(size_t(bare.size()), false);
    for (const QString& name : sorted) {
        // The first unused position holding this name: equal texts are interchangeable.
        int at = -1;
        for (int i = 0; i < bare.size(); ++i)
            if (!used[size_t(i)] && bare[i] == name) {
                at = i;
                break;
            }
        check(at >= 0, "only the names given");
        used[size_t(at)] = true;
        positions.push_back(at);
    }
    for (size_t i = 1; i < positions.size(); ++i) {
        const int order = compareListNames(sorted[qsizetype(i - 1)], sorted[qsizetype(i)]);
        check(order <= 0, "names in the order of their comparison");
        if (order == 0)
            check(positions[i - 1] < positions[i], "equal names keep their file order");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    genericOrder(in);
    GridModel grid = halvex::fuzz::makeGrid(in, 40, 4, 12);
    const int dataCols = grid.cols();
    if (dataCols == 0)
        return 0;
    grid.setCols(dataCols + 1);
    for (int r = 0; r < grid.rows(); ++r)
        grid.setText(r, dataCols, QString::number(r));
    listNameSort(grid);
    multiKeySort(in, grid, dataCols);
    columnSort(in, grid, dataCols);
    return 0;
}
