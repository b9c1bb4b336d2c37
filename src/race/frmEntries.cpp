#include "race/frmEntries.h"

#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventRounds.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

namespace {

const QString kTitle = QStringLiteral("Entries");

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox* listBox(const char* name, const QStringList& items)
{
    auto* box = named(new QComboBox, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

frmEntries::frmEntries(Event& event, Prompter& prompter, const QStringList& racers,
                       const QStringList& cars, QWidget* parent)
    : QDialog(parent), m_event(event), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmEntries"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + event.name());
    cmbRacer = listBox("cmbRacer", racers);
    cmbRacer->lineEdit()->setPlaceholderText(QStringLiteral("Racer"));
    cmbRacer->setMinimumWidth(150);
    cmbCar = listBox("cmbCar", cars);
    cmbCar->lineEdit()->setPlaceholderText(QStringLiteral("Car"));
    cmbCar->setMinimumWidth(150);
    cmbClass = named(new QComboBox, "cmbClass");
    for (const EventClass& c : event.classes())
        cmbClass->addItem(c.name);
    txtCarNumber = named(new QLineEdit, "txtCarNumber");
    txtCarNumber->setPlaceholderText(QStringLiteral("Car Number"));
    txtCarNumber->setMaximumWidth(90);
    txtDialIn = named(new QLineEdit, "txtDialIn");
    txtDialIn->setPlaceholderText(QStringLiteral("Dial-In"));
    txtDialIn->setMaximumWidth(70);
    cmdAdd = named(new QPushButton(QStringLiteral("&Add")), "cmdAdd");
    cmdImport = named(new QPushButton(QStringLiteral("&Import...")), "cmdImport");
    grdEntries = named(new QTableWidget(0, 5), "grdEntries");
    grdEntries->setHorizontalHeaderLabels({QStringLiteral("Racer"), QStringLiteral("Car"),
                                           QStringLiteral("Class"), QStringLiteral("Car Number"),
                                           QStringLiteral("Dial-In")});
    grdEntries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdEntries->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdEntries->verticalHeader()->hide();
    cmdRemove = named(new QPushButton(QStringLiteral("&Remove")), "cmdRemove");
    cmdChangeDialIn = named(new QPushButton(QStringLiteral("Change &Dial-In")), "cmdChangeDialIn");
    cmdClose = named(new QPushButton(QStringLiteral("Close")), "cmdClose");

    auto* entryRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{cmbRacer, cmbCar, cmbClass, txtCarNumber,
                                                      txtDialIn, cmdAdd})
        entryRow->addWidget(w);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdChangeDialIn);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entryRow);
    layout->addWidget(grdEntries);
    layout->addLayout(buttons);
    resize(680, 360);

    connect(cmdAdd, &QPushButton::clicked, this, &frmEntries::add);
    connect(cmdImport, &QPushButton::clicked, this, &frmEntries::import);
    connect(cmdRemove, &QPushButton::clicked, this, &frmEntries::remove);
    connect(cmdChangeDialIn, &QPushButton::clicked, this, &frmEntries::changeDialIn);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    showEntries();
}

void frmEntries::add()
{
    Entry entry;
    entry.racer = cmbRacer->currentText();
    entry.car = cmbCar->currentText();
    entry.className = cmbClass->currentText();
    entry.carNumber = txtCarNumber->text();
    if (!typedDialIn(entry.dialIn))
        return;
    try {
        m_event.addEntry(entry);
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    txtCarNumber->clear();
    txtDialIn->clear();
    showEntries();
}

bool frmEntries::typedDialIn(float& dialIn)
{
    bool number = true;
    dialIn = 0;
    if (!txtDialIn->text().trimmed().isEmpty())
        dialIn = txtDialIn->text().trimmed().toFloat(&number);
    if (!number)
        m_prompter.message(QStringLiteral("The dial-in must be a number."), kTitle, Buttons::Ok,
                           Icon::Warning);
    return number;
}

void frmEntries::changeDialIn()
{
    const int row = grdEntries->currentRow();
    if (row < 0 || row >= int(m_shown.size())) {
        m_prompter.message(QStringLiteral("Choose the entry whose dial-in changes."), kTitle,
                           Buttons::Ok, Icon::Information);
        return;
    }
    float dialIn = 0;
    if (!typedDialIn(dialIn))
        return;
    try {
        EventRounds(m_event).changeDialIn(m_shown[size_t(row)].id, dialIn);
        txtDialIn->clear();
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
    showEntries();
    grdEntries->setCurrentCell(row, 4);
}

void frmEntries::import()
{
    const QString name = m_prompter.openFileName(
        QStringLiteral("Import Entries"), QFileInfo(m_event.database().path()).absolutePath(),
        QStringLiteral("Comma-separated files (*.csv);;All files (*)"));
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompter.message(QStringLiteral("The file \"%1\" cannot be read: %2")
                               .arg(QDir::toNativeSeparators(name), file.errorString()),
                           kTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    try {
        const QStringList refused = m_event.importEntries(file.readAll());
        if (!refused.isEmpty())
            m_prompter.message(QStringLiteral("Nothing was imported:\r\n") +
                                   refused.join(QStringLiteral("\r\n")),
                               kTitle, Buttons::Ok, Icon::Warning);
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
    showEntries();
}

void frmEntries::remove()
{
    const int row = grdEntries->currentRow();
    if (row < 0 || row >= int(m_shown.size()))
        return;
    if (!m_removalRefusal.isEmpty()) {
        m_prompter.message(m_removalRefusal, kTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    try {
        m_event.removeEntry(m_shown[size_t(row)].id);
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
    showEntries();
}

void frmEntries::showEntries()
{
    m_shown = m_event.entries();
    const std::vector<Entry>& entries = m_shown;
    grdEntries->setRowCount(int(entries.size()));
    for (int row = 0; row < int(entries.size()); ++row) {
        const Entry& e = entries[size_t(row)];
        const QStringList cells{e.racer, e.car, e.className, e.carNumber,
                                e.dialIn > 0 ? QString::number(double(e.dialIn)) : QString()};
        for (int column = 0; column < cells.size(); ++column)
            grdEntries->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

} // namespace halvex
