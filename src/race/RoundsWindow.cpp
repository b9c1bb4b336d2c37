#include "race/RoundsWindow.h"

#include "event/Event.h"
#include "event/RoundControl.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "race/frmCorrection.h"
#include "race/frmHandTimes.h"
#include "reports/PrintSurface.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

namespace {

QPushButton* button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

void fillTable(QTableWidget* table, const std::vector<QStringList>& rows)
{
    // Most redraws change a cell or two, or nothing (a pair called): only those are repainted.
    bool changed = table->rowCount() != int(rows.size());
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const QStringList& cells = rows[size_t(row)];
        for (int column = 0; column < cells.size(); ++column) {
            QTableWidgetItem* item = table->item(row, column);
            if (item && item->text() == cells[column])
                continue;
            changed = true;
            if (item)
                item->setText(cells[column]);
            else
                table->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    if (changed)
        table->resizeColumnsToContents();
}

RoundsWindow::RoundsWindow(RoundControl& control, Prompter& prompter, PrintSurface& printer,
                           Stage stage, QWidget* parent)
    : QWidget(parent, Qt::Window), m_control(control), m_prompter(prompter), m_printer(printer),
      m_stage(stage)
{
    cmbClass = new QComboBox;
    cmbClass->setObjectName(QStringLiteral("cmbClass"));
    cmbClass->setMinimumWidth(160);
    for (const EventClass& c : control.openEvent().classes())
        cmbClass->addItem(c.name);
    lblOnDeck = new QLabel;
    lblOnDeck->setObjectName(QStringLiteral("lblOnDeck"));
    lblInTheHole = new QLabel;
    lblInTheHole->setObjectName(QStringLiteral("lblInTheHole"));
    grdPairs = new QTableWidget(0, 9);
    grdPairs->setObjectName(QStringLiteral("grdPairs"));
    grdPairs->setHorizontalHeaderLabels(
        {QStringLiteral("Round"), QStringLiteral("Pair"), QStringLiteral("Left"),
         QStringLiteral("Right"), QStringLiteral("State"), QStringLiteral("Left ET"),
         QStringLiteral("Right ET"), QStringLiteral("Winner"), QStringLiteral("Notes")});
    grdPairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPairs->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPairs->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPairs->horizontalHeader()->setStretchLastSection(true);
    grdPairs->verticalHeader()->hide();
    cmdNextPair = button("cmdNextPair", QStringLiteral("&Next Pair"));
    cmdRerun = button("cmdRerun", QStringLiteral("Rerun"));
    cmdScratch = button("cmdScratch", QStringLiteral("Scratch"));
    cmdEnterByHand = button("cmdEnterByHand", QStringLiteral("Enter by Hand"));
    cmdPrintRoundSheet = button("cmdPrintRoundSheet", QStringLiteral("Print Round Sheet"));
    cmdClose = button("cmdClose", QStringLiteral("Close"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Class:")));
    top->addWidget(cmbClass);
    top->addStretch();
    auto* calls = new QVBoxLayout;
    calls->addWidget(lblOnDeck);
    calls->addWidget(lblInTheHole);
    top->addLayout(calls);
    m_actions = new QHBoxLayout;
    m_actions->addWidget(cmdNextPair);
    m_actions->addSpacing(16);
    m_actions->addWidget(cmdRerun);
    m_actions->addWidget(cmdScratch);
    m_actions->addWidget(cmdEnterByHand);
    m_actions->addStretch();
    m_bottom = new QHBoxLayout;
    m_bottom->addWidget(cmdPrintRoundSheet);
    m_bottom->addStretch();
    m_bottom->addWidget(cmdClose);
    m_layout = new QVBoxLayout(this);
    m_layout->addLayout(top);
    m_layout->addWidget(grdPairs, 1);
    m_layout->addLayout(m_actions);
    m_layout->addLayout(m_bottom);

    connect(cmbClass, &QComboBox::activated, this, &RoundsWindow::redraw);
    connect(cmdNextPair, &QPushButton::clicked, this, &RoundsWindow::nextPair);
    connect(cmdRerun, &QPushButton::clicked, this, [this] { correct(CorrectionKind::Rerun); });
    connect(cmdScratch, &QPushButton::clicked, this, [this] { correct(CorrectionKind::Scratch); });
    connect(cmdEnterByHand, &QPushButton::clicked, this, &RoundsWindow::enterByHand);
    connect(cmdPrintRoundSheet, &QPushButton::clicked, this, &RoundsWindow::printRoundSheet);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(&control, &RoundControl::changed, this, &RoundsWindow::redraw);
}

QString RoundsWindow::className() const
{
    return cmbClass->currentText();
}

void RoundsWindow::tell(const QString& text)
{
    m_prompter.message(text, QStringLiteral("Event"), Buttons::Ok, Icon::Warning);
}

void RoundsWindow::act(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Failure& f) {
        tell(f.description());
    }
    m_control.refresh();
}

std::optional<PairRow> RoundsWindow::selectedPair() const
{
    const QList<QTableWidgetItem*> picked = grdPairs->selectedItems();
    if (picked.isEmpty() || picked.front()->row() >= int(m_rows.size()))
        return std::nullopt;
    return m_rows[size_t(picked.front()->row())];
}

void RoundsWindow::redraw()
{
    const std::optional<PairRow> kept = selectedPair();
    try {
        m_rows = rows();
        showOwnParts();
    } catch (const Failure& f) {
        m_rows.clear();
        tell(f.description());
    }
    std::vector<QStringList> cells;
    cells.reserve(m_rows.size());
    for (const PairRow& p : m_rows)
        cells.push_back({p.pair.roundName, QString::number(p.pair.pair + 1), p.left, p.right,
                         p.state, p.leftEt, p.rightEt, p.winner, p.notes});
    grdPairs->clearSelection();
    fillTable(grdPairs, cells);
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const CalledPair& p = m_rows[size_t(row)].pair;
        if (kept && kept->pair.round == p.round && kept->pair.pair == p.pair &&
            kept->pair.className == p.className)
            grdPairs->selectRow(row);
    }
    lblOnDeck->setText(QStringLiteral("On deck: ") + m_control.onDeck());
    lblInTheHole->setText(QStringLiteral("In the hole: ") + m_control.inTheHole());
    // A station that follows the event prints and exports it, and changes nothing.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        const QString name = b->objectName();
        if (!name.startsWith(u"cmdPrint") && !name.startsWith(u"cmdExport") && name != u"cmdClose")
            b->setEnabled(!m_control.isReadOnly());
    }
}

void RoundsWindow::nextPair()
{
    std::optional<CalledPair> pair;
    if (const std::optional<PairRow> picked = selectedPair(); picked && picked->open)
        pair = picked->pair;
    try {
        for (const CalledPair& p : m_control.waiting())
            if (!pair && p.stage == m_stage)
                pair = p;
        if (!pair)
            return tell(QStringLiteral("No pair is waiting to run."));
        // The window shows the class of the pair in the lanes, as the call redraws it.
        grdPairs->clearSelection();
        cmbClass->setCurrentIndex(cmbClass->findText(pair->className));
        m_control.call(*pair, swapLanes());
    } catch (const Failure& f) {
        tell(f.description());
    }
}

void RoundsWindow::correct(CorrectionKind kind)
{
    const std::optional<PairRow> picked = selectedPair();
    if (!picked) {
        tell(QStringLiteral("Pick the pair in the list first."));
        return;
    }
    const PairRow& p = *picked;
    Correction c{0, kind, p.pair.round, p.pair.pair, 0, kNoEntry, {}};
    switch (kind) {
    case CorrectionKind::Rerun:
        if (p.standingPass == 0)
            return tell(QStringLiteral("The pair has no pass to make void."));
        c.pass = p.standingPass;
        break;
    case CorrectionKind::Scratch:
        if (!p.open)
            return tell(QStringLiteral("Only a pair still to run can have a no-show."));
        break;
    case CorrectionKind::Override:
        if (p.state == QStringLiteral("waiting"))
            return tell(QStringLiteral("The pair's racers are not known yet."));
        break;
    case CorrectionKind::Undo:
        if (!p.decided)
            return tell(QStringLiteral("The pair has no result to take back."));
        break;
    }
    const QString titles[] = {QStringLiteral("Rerun"), QStringLiteral("Scratch"),
                              QStringLiteral("Undo"), QStringLiteral("Override")};
    act([&] {
        // A scratch and an override name one of the pair's racers.
        std::vector<std::pair<qint64, QString>> racers;
        if (kind == CorrectionKind::Scratch || kind == CorrectionKind::Override) {
            const std::vector<Entry> entries = m_control.rounds().entriesOf(p.pair.className);
            for (EntryId id : p.pair.entries)
                if (const Entry* e = m_control.rounds().entry(entries, id))
                    racers.emplace_back(id, e->racer);
        }
        frmCorrection dialog(m_prompter, titles[int(kind)], m_control.rounds().describe(p.pair),
                             racers, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        c.entry = dialog.racer();
        c.reason = dialog.reason();
        m_control.rounds().correct(p.pair.className, m_stage, c);
    });
}

void RoundsWindow::enterByHand()
{
    const std::optional<PairRow> picked = selectedPair();
    if (!picked || !picked->open) {
        tell(QStringLiteral("Pick a pair still to run in the list first."));
        return;
    }
    const CalledPair& pair = picked->pair;
    act([&] {
        const std::vector<Entry> entries = m_control.rounds().entriesOf(pair.className);
        std::array<QString, 2> racers;
        for (size_t i = 0; i < 2; ++i)
            if (const Entry* e = m_control.rounds().entry(entries, pair.entries[i]))
                racers[i] = e->racer;
        frmHandTimes dialog(m_prompter, m_control.rounds().describe(pair), racers, this);
        if (dialog.exec() == QDialog::Accepted)
            m_control.rounds().enterByHand(pair, dialog.times());
    });
}

void RoundsWindow::printRoundSheet()
{
    try {
        EventRounds& rounds = m_control.rounds();
        halvex::printRoundSheet(m_printer, m_control.openEvent().name(),
                                roundSheetRows(rounds, rounds.callOrder()));
    } catch (const Failure& f) {
        tell(f.description());
    }
}

} // namespace halvex
