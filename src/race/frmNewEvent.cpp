#include "race/frmNewEvent.h"

#include "event/EventFiles.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "race/RaceSetup.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

namespace {

const QString kTitle = QStringLiteral("New Event");

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmNewEvent::frmNewEvent(Prompter& prompter, QString folder, QDate today, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_folder(std::move(folder))
{
    setObjectName(QStringLiteral("frmNewEvent"));
    setWindowTitle(kTitle);
    txtName = named(new QLineEdit, "txtName");
    dtpDay = named(new QDateEdit(today), "dtpDay");
    dtpDay->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpDay->setCalendarPopup(true);
    txtClassName = named(new QLineEdit, "txtClassName");
    cmbTree = named(new QComboBox, "cmbTree");
    cmbTree->addItems(treeNames());
    txtIndex = named(new QLineEdit, "txtIndex");
    cmbFieldSize = named(new QComboBox, "cmbFieldSize");
    cmbFieldSize->addItems({QStringLiteral("4"), QStringLiteral("8"), QStringLiteral("16"),
                            QStringLiteral("32"), QStringLiteral("64")});
    cmbFieldSize->setCurrentIndex(1);
    cmbLadder = named(new QComboBox, "cmbLadder");
    cmbLadder->addItems({QStringLiteral("Fixed"), QStringLiteral("Re-paired")});
    cmdAddClass = named(new QPushButton(QStringLiteral("&Add Class")), "cmdAddClass");
    cmdRemoveClass = named(new QPushButton(QStringLiteral("&Remove Class")), "cmdRemoveClass");
    grdClasses = named(new QTableWidget(0, 5), "grdClasses");
    grdClasses->setHorizontalHeaderLabels({QStringLiteral("Class"), QStringLiteral("Tree"),
                                           QStringLiteral("Index"), QStringLiteral("Field"),
                                           QStringLiteral("Ladder")});
    grdClasses->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdClasses->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdClasses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdClasses->verticalHeader()->hide();
    cmdOk = named(new QPushButton(QStringLiteral("OK")), "cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), txtName);
    form->addRow(QStringLiteral("&Date:"), dtpDay);
    auto* classRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{txtClassName, cmbTree, txtIndex, cmbFieldSize,
                                                      cmbLadder, cmdAddClass})
        classRow->addWidget(w);
    txtClassName->setPlaceholderText(QStringLiteral("Class"));
    txtIndex->setPlaceholderText(QStringLiteral("Index"));
    txtIndex->setMaximumWidth(70);
    // Only the index trees take an index.
    const auto indexFollowsTree = [this](int tree) {
        txtIndex->setEnabled(handicapOfTree(tree) == Handicap::Index);
    };
    indexFollowsTree(cmbTree->currentIndex());
    connect(cmbTree, &QComboBox::currentIndexChanged, this, indexFollowsTree);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemoveClass);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(classRow);
    layout->addWidget(grdClasses);
    layout->addLayout(buttons);
    resize(640, 360);

    connect(cmdAddClass, &QPushButton::clicked, this, &frmNewEvent::addClass);
    connect(cmdRemoveClass, &QPushButton::clicked, this, &frmNewEvent::removeClass);
    connect(cmdOk, &QPushButton::clicked, this, &frmNewEvent::create);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmNewEvent::addClass()
{
    EventClass c;
    c.name = txtClassName->text().trimmed();
    c.tree = cmbTree->currentIndex();
    if (handicapOfTree(c.tree) == Handicap::Index)
        c.index = txtIndex->text().trimmed().toFloat();
    c.fieldSize = cmbFieldSize->currentText().toInt();
    c.ladder = cmbLadder->currentIndex() == 0 ? LadderKind::Fixed : LadderKind::Repaired;
    std::vector<EventClass> classes = m_classes;
    classes.push_back(c);
    if (const QString why = Event::checkClasses(classes); !why.isEmpty()) {
        m_prompter.message(why, kTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    m_classes = classes;
    const int row = grdClasses->rowCount();
    grdClasses->insertRow(row);
    const QStringList cells{c.name, cmbTree->currentText(),
                            handicapOfTree(c.tree) == Handicap::Index ? txtIndex->text().trimmed()
                                                                      : QString(),
                            cmbFieldSize->currentText(), cmbLadder->currentText()};
    for (int column = 0; column < cells.size(); ++column)
        grdClasses->setItem(row, column, new QTableWidgetItem(cells[column]));
    txtClassName->clear();
    txtIndex->clear();
}

void frmNewEvent::removeClass()
{
    const int row = grdClasses->currentRow();
    if (row < 0 || row >= int(m_classes.size()))
        return;
    m_classes.erase(m_classes.begin() + row);
    grdClasses->removeRow(row);
}

void frmNewEvent::create()
{
    try {
        const QString path = newEventPath(m_folder, txtName->text());
        Event::create(path, txtName->text(), dtpDay->date(), m_classes);
        m_created = path;
        accept();
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
}

} // namespace halvex
