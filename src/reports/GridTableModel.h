#pragma once

#include "reports/GridModel.h"

#include <QAbstractTableModel>

namespace halvex {

// Shows a grid model in a Qt view: its texts, fonts, alignments and colours; the fixed rows are
// rows of the view like the others, drawn bold and centred by their cells' own fonts.
class GridTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridTableModel(GridModel& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_grid(grid)
    {}

    GridModel& grid() { return m_grid; }
    // The grid changed under the view: everything is drawn afresh.
    void refresh()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    GridModel& m_grid;
};

} // namespace halvex
