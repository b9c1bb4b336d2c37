#pragma once

#include "event/EventRounds.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace halvex {

class Prompter;

// Enter by Hand: each lane's reaction time and elapsed time as the judges give them, for a pair
// the unit could not time. An ET of 0 or left blank is a lane that did not finish; an empty lane
// takes nothing.
class frmHandTimes final : public QDialog
{
    Q_OBJECT
public:
    frmHandTimes(Prompter& prompter, const QString& pair, const std::array<QString, 2>& racers,
                 QWidget* parent = nullptr);

    const HandTimes& times() const { return m_times; }

    std::array<QLineEdit*, 2> txtReactionTime{};
    std::array<QLineEdit*, 2> txtElapsedTime{};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void ok();

    Prompter& m_prompter;
    HandTimes m_times;
};

} // namespace halvex
