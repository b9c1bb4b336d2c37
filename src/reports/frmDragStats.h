#pragma once

#include "race/RaceResult.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace halvex {

class RaceSession;

// Prints the time slip of a race.
using SlipPrinter = std::function<void(const RaceResult&)>;

// The race just run, both lanes side by side, with red lights, breakouts and the winner in their
// colours, drawn from the race's result. Closing it, whichever way, tells the session, which
// commits the race exactly once; its OK also resets the unit. Its Print button, and Auto Print Slip
// as it opens, print the slip of the race it shows, whatever the main window shows by then.
class frmDragStats final : public QWidget
{
    Q_OBJECT
public:
    frmDragStats(const RaceResult& result, RaceSession& session, SlipPrinter printSlip,
                 bool autoPrintSlip, QWidget* parent = nullptr);
    ~frmDragStats() override;
    Q_DISABLE_COPY_MOVE(frmDragStats)

    QLabel* lblNameLeft = nullptr;
    QLabel* lblNameRight = nullptr;
    QLabel* lblDragRacingClass = nullptr;
    QLabel* lblCarLeft = nullptr;
    QLabel* lblCarRight = nullptr;
    QLabel* lblLeftRT = nullptr;
    QLabel* lblRT = nullptr;
    QLabel* lblRightRT = nullptr;
    QLabel* lblLeft = nullptr;
    QLabel* lblCenter = nullptr;
    QLabel* lblRight = nullptr;
    QLabel* lblLeftET = nullptr;
    QLabel* lblET = nullptr;
    QLabel* lblRightET = nullptr;
    QLabel* lblLeftMPH = nullptr;
    QLabel* lblMPH = nullptr;
    QLabel* lblRightMPH = nullptr;
    QLabel* lblLeftWM = nullptr;
    QLabel* lblWinMargin = nullptr;
    QLabel* lblRightWM = nullptr;
    QLabel* lblLeftDialin = nullptr;
    QLabel* lblRightDialin = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void draw(const RaceResult& result);
    void cmdOk_Click();
    void commitOnce();

    RaceSession& m_session;
    bool m_raceOnScreen = true;
    RaceResult m_result;
    SlipPrinter m_printSlip;
};

} // namespace halvex
