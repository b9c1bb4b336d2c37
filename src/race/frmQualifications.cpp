#include "race/frmQualifications.h"

#include "event/RoundControl.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

namespace {

// Draws the line under the field's last place: the bump spot the others have to beat.
class BumpLine final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int row = -1;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.row() != row)
            return;
        painter->save();
        painter->setPen(QPen(Qt::red, 2));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

} // namespace

frmQualifications::frmQualifications(RoundControl& control, Prompter& prompter,
                                     PrintSurface& printer, Random& random, QWidget* parent)
    : RoundsWindow(control, prompter, printer, Stage::Qualifying, parent), m_random(random)
{
    setObjectName(QStringLiteral("frmQualifications"));
    setWindowTitle(QStringLiteral("Qualifications"));
    lstEntries = new QListWidget;
    lstEntries->setObjectName(QStringLiteral("lstEntries"));
    cmdDrawRound = new QPushButton(QStringLiteral("&Draw Round"));
    cmdDrawRound->setObjectName(QStringLiteral("cmdDrawRound"));
    grdOrder = new QTableWidget(0, 6);
    grdOrder->setObjectName(QStringLiteral("grdOrder"));
    grdOrder->setHorizontalHeaderLabels({QStringLiteral("Place"), QStringLiteral("Racer"),
                                         QStringLiteral("Car Number"), QStringLiteral("ET"),
                                         QStringLiteral("Margin"), QStringLiteral("Counted")});
    grdOrder->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdOrder->setSelectionMode(QAbstractItemView::NoSelection);
    grdOrder->horizontalHeader()->setStretchLastSection(true);
    grdOrder->verticalHeader()->hide();
    grdOrder->setItemDelegate(new BumpLine(grdOrder));

    auto* draw = new QVBoxLayout;
    draw->addWidget(new QLabel(QStringLiteral("Entries:")));
    draw->addWidget(lstEntries);
    draw->addWidget(cmdDrawRound);
    auto* order = new QVBoxLayout;
    order->addWidget(new QLabel(QStringLiteral("Qualifying order:")));
    order->addWidget(grdOrder);
    auto* parts = new QHBoxLayout;
    parts->addLayout(draw, 1);
    parts->addLayout(order, 2);
    m_layout->insertLayout(1, parts, 1);
    resize(900, 640);

    connect(cmdDrawRound, &QPushButton::clicked, this, &frmQualifications::drawRound);
    redraw();
}

std::vector<PairRow> frmQualifications::rows()
{
    return qualifyingRows(m_control.rounds(), className());
}

void frmQualifications::showOwnParts()
{
    EventRounds& rounds = m_control.rounds();
    const QString shown = className();
    const std::vector<Entry> entries = rounds.entriesOf(shown);
    // The checks stay as the operator left them while the class and its entries do.
    if (m_entriesOf != shown || lstEntries->count() != int(entries.size())) {
        lstEntries->clear();
        for (const Entry& e : entries) {
            auto* item = new QListWidgetItem(
                e.carNumber.isEmpty() ? e.racer : e.racer + QStringLiteral(" #") + e.carNumber,
                lstEntries);
            item->setData(Qt::UserRole, e.id);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
        m_entriesOf = shown;
    }
    const std::vector<QualifierRow> order = qualifierRows(rounds, shown);
    std::vector<QStringList> cells;
    cells.reserve(order.size());
    for (const QualifierRow& q : order)
        cells.push_back({q.place, q.racer, q.carNumber, q.elapsedTime, q.margin, q.counted});
    fillTable(grdOrder, cells);
    static_cast<BumpLine*>(grdOrder->itemDelegate())->row = bumpRow(rounds, shown);
    grdOrder->viewport()->update();
}

void frmQualifications::drawRound()
{
    std::vector<EntryId> chosen;
    for (int i = 0; i < lstEntries->count(); ++i)
        if (lstEntries->item(i)->checkState() == Qt::Checked)
            chosen.push_back(lstEntries->item(i)->data(Qt::UserRole).toLongLong());
    act([&] { m_control.rounds().drawRound(className(), chosen, m_random); });
}

} // namespace halvex
