#pragma once

#include "data/MasterListEditor.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace halvex {

struct Services;

// The editor window of one master list (racers, cars or classes): one design, told apart by the
// kind. It reads the list when it is built; each button changes the list and its file at once.
// Refreshing whatever shows the list elsewhere is up to the opener once the window has closed.
class frmListEditor final : public QDialog
{
    Q_OBJECT

public:
    frmListEditor(MasterListKind kind, Services& services, QWidget* parent = nullptr);

    const MasterListEditor& editor() const { return m_editor; }

private:
    void buildControls();
    void showList();

    void lst_Click();
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();

    MasterListEditor m_editor;
    QListWidget* m_lst = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdModify = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QLabel* m_lblQty = nullptr;
};

} // namespace halvex
