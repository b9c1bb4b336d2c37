#pragma once

#include "event/Event.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace halvex {

class Prompter;

// The entries of an event: added one by one from the master lists (or typed), or imported from
// a comma-separated file, all lines or none.
class frmEntries final : public QDialog
{
    Q_OBJECT
public:
    frmEntries(Event& event, Prompter& prompter, const QStringList& racers, const QStringList& cars,
               QWidget* parent = nullptr);

    QComboBox* cmbRacer = nullptr;
    QComboBox* cmbCar = nullptr;
    QComboBox* cmbClass = nullptr;
    QLineEdit* txtCarNumber = nullptr;
    QLineEdit* txtDialIn = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdImport = nullptr;
    QTableWidget* grdEntries = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdChangeDialIn = nullptr;
    QPushButton* cmdClose = nullptr;

    // Why no entry may leave the event (one shared with other stations), or empty.
    void setRemovalRefusal(const QString& why) { m_removalRefusal = why; }

private:
    // The selected entry leaves the event, unless it has been drawn or has raced.
    void remove();
    // The selected entry races its later pairs on the dial-in typed above.
    void changeDialIn();
    // The typed dial-in (0 when none is typed); false, told, when it is no number.
    bool typedDialIn(float& dialIn);
    std::vector<Entry> m_shown; // the grid's rows
    void add();
    void import();
    void showEntries();

    Event& m_event;
    Prompter& m_prompter;
    QString m_removalRefusal;
};

} // namespace halvex
