#include "reports/GridTableModel.h"

#include "race/Colours.h"
#include "race/LabelColour.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace halvex {

namespace {

// The grid's alignments 0 to 8: left, centre, right, each top, centre, bottom; 9 is general
// (texts left, numbers right).
Qt::Alignment alignment(int value)
{
    static const Qt::Alignment horizontal[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[3] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (value < 0 || value > 8)
        return Qt::AlignLeft | Qt::AlignVCenter;
    return horizontal[value / 3] | vertical[value % 3];
}

} // namespace

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
        return QVariant::fromValue(alignment(m_grid.alignment(r, c)));
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
