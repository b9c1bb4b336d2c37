#pragma once

#include "event/Event.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace halvex {

class Prompter;

// File, New Event: the event's name, day and classes. OK makes the event file in the folder; a
// refusal is told with its reason and the window stays open.
class frmNewEvent final : public QDialog
{
    Q_OBJECT
public:
    frmNewEvent(Prompter& prompter, QString folder, QDate today, QWidget* parent = nullptr);

    // The file made by OK.
    const QString& createdPath() const { return m_created; }

    QLineEdit* txtName = nullptr;
    QDateEdit* dtpDay = nullptr;
    QLineEdit* txtClassName = nullptr;
    QComboBox* cmbTree = nullptr;
    QLineEdit* txtIndex = nullptr;
    QComboBox* cmbFieldSize = nullptr;
    QComboBox* cmbLadder = nullptr;
    QPushButton* cmdAddClass = nullptr;
    QPushButton* cmdRemoveClass = nullptr;
    QTableWidget* grdClasses = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void addClass();
    void removeClass();
    void create();

    Prompter& m_prompter;
    QString m_folder;
    std::vector<EventClass> m_classes;
    QString m_created;
};

} // namespace halvex
