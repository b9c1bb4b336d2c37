#include "reports/GridTableModel.h"

#include "race/Colours.h"
#include "race/LabelColour.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace halvex {

int GridTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.rows();
}

int GridTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.cols();
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.text(r, c);
    case Qt::FontRole: {
        const GridFont& g = m_grid.font(r, c);
        QFont f;
        if (!g.name.isEmpty())
            f.setFamily(g.name);
        if (g.size > 0)
            f.setPointSizeF(g.size);
        f.setBold(g.bold);
        f.setItalic(g.italic);
        f.setStrikeOut(g.strikethrough);
        f.setUnderline(g.underline);
        return f;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(cellTextAlignment(m_grid.alignment(r, c), m_grid.text(r, c)));
    case Qt::BackgroundRole:
        if (m_grid.backColour(r, c) >= 0)
            return QBrush(colourOf(m_grid.backColour(r, c)));
        return r < m_grid.fixedRows() ? QBrush(colourOf(kColourLightGrey)) : QVariant();
    case Qt::ForegroundRole:
        return m_grid.foreColour(r, c) >= 0 ? QBrush(colourOf(m_grid.foreColour(r, c)))
                                            : QVariant();
    default:
        return {};
    }
}

} // namespace halvex
