#include "data/frmListEditor.h"

#include "platform/Services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace halvex {

frmListEditor::frmListEditor(MasterListKind kind, Services& services, QWidget* parent)
    : QDialog(parent), m_editor(kind, services.prompter, services.folder)
{
    buildControls();
    m_editor.open();
    showList();
}

void frmListEditor::buildControls()
{
    const MasterListTexts& texts = m_editor.texts();
    setObjectName(texts.windowName);
    setWindowTitle(texts.caption);

    m_lst = new QListWidget(this);
    m_lst->setObjectName(texts.listName);
    m_lst->setSelectionMode(QAbstractItemView::SingleSelection);
    // The editor decides the order: new entries are sorted in, renamed ones keep their row.
    m_lst->setSortingEnabled(false);

    auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    m_cmdAdd = button("cmdAdd", QStringLiteral("&Add"), texts.addTip);
    m_cmdModify = button("cmdModify", QStringLiteral("&Modify"), texts.modifyTip);
    m_cmdDelete = button("cmdDelete", QStringLiteral("&Delete"), texts.deleteTip);
    m_cmdOk = button("cmdOk", QStringLiteral("&OK"), QString());

    m_lblQty = new QLabel(this);
    m_lblQty->setObjectName(QStringLiteral("lblQty"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdModify);
    buttons->addWidget(m_cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOk);

    auto* top = new QHBoxLayout;
    top->addWidget(m_lst, 1);
    top->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_lblQty);
    resize(380, 320);

    connect(m_lst, &QListWidget::itemSelectionChanged, this, &frmListEditor::lst_Click);
    connect(m_cmdAdd, &QPushButton::clicked, this, &frmListEditor::cmdAdd_Click);
    connect(m_cmdModify, &QPushButton::clicked, this, &frmListEditor::cmdModify_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &frmListEditor::cmdDelete_Click);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
}

void frmListEditor::showList()
{
    {
        const QSignalBlocker blocker(m_lst);
        m_lst->clear();
        m_lst->addItems(m_editor.entries());
        const int row = m_editor.selected();
        if (row >= 0) {
            m_lst->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            m_lst->scrollToItem(m_lst->item(row));
        }
    }
    m_lblQty->setText(m_editor.countText());
}

void frmListEditor::lst_Click()
{
    const QList<QListWidgetItem*> items = m_lst->selectedItems();
    m_editor.select(items.isEmpty() ? -1 : m_lst->row(items.first()));
}

void frmListEditor::cmdAdd_Click()
{
    m_editor.add();
    showList();
}

void frmListEditor::cmdModify_Click()
{
    m_editor.modify();
    showList();
}

void frmListEditor::cmdDelete_Click()
{
    m_editor.remove();
    showList();
}

} // namespace halvex
