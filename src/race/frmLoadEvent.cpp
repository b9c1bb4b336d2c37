#include "race/frmLoadEvent.h"

#include "event/EventFiles.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

namespace {

const QString kTitle = QStringLiteral("Load Event");

} // namespace

frmLoadEvent::frmLoadEvent(Prompter& prompter, const QString& folder, Choose choose, Choose entries,
                           QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_choose(std::move(choose)),
      m_entries(std::move(entries)), m_events(listEvents(folder))
{
    setObjectName(QStringLiteral("frmLoadEvent"));
    setWindowTitle(kTitle);
    grdEvents = new QTableWidget(int(m_events.size()), 3);
    grdEvents->setObjectName(QStringLiteral("grdEvents"));
    grdEvents->setHorizontalHeaderLabels(
        {QStringLiteral("Event"), QStringLiteral("Date"), QStringLiteral("File")});
    grdEvents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdEvents->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdEvents->setSelectionMode(QAbstractItemView::SingleSelection);
    grdEvents->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdEvents->horizontalHeader()->setStretchLastSection(true);
    grdEvents->verticalHeader()->hide();
    for (int row = 0; row < int(m_events.size()); ++row) {
        const EventListing& e = m_events[size_t(row)];
        const QStringList cells{e.name, e.day.toString(Qt::ISODate), QFileInfo(e.path).fileName()};
        for (int column = 0; column < cells.size(); ++column)
            grdEvents->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (!m_events.empty())
        grdEvents->selectRow(0);
    cmdEntries = new QPushButton(QStringLiteral("&Entries..."));
    cmdEntries->setObjectName(QStringLiteral("cmdEntries"));
    cmdOk = new QPushButton(QStringLiteral("OK"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdEntries);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdEvents);
    layout->addLayout(buttons);
    resize(520, 300);

    connect(cmdEntries, &QPushButton::clicked, this, [this] { pass(m_entries, false); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { pass(m_choose, true); });
    connect(grdEvents, &QTableWidget::cellDoubleClicked, this, [this] { pass(m_choose, true); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmLoadEvent::~frmLoadEvent() = default;

void frmLoadEvent::addEvents(const std::vector<EventListing>& events, const QString& where)
{
    for (const EventListing& e : events) {
        const int row = grdEvents->rowCount();
        grdEvents->insertRow(row);
        const QStringList cells{e.name, e.day.toString(Qt::ISODate), where};
        for (int column = 0; column < cells.size(); ++column)
            grdEvents->setItem(row, column, new QTableWidgetItem(cells[column]));
        m_events.push_back(e);
    }
    if (grdEvents->currentRow() < 0 && !m_events.empty())
        grdEvents->selectRow(0);
}

void frmLoadEvent::pass(const Choose& to, bool close)
{
    const int row = grdEvents->currentRow();
    if (row < 0 || row >= int(m_events.size()))
        return;
    try {
        to(m_events[size_t(row)].path);
        if (close)
            accept();
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
}

} // namespace halvex
