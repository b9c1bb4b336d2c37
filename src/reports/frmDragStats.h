#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace halvex {

struct RaceResult;
class RaceSession;

// The race just run, both lanes side by side, with red lights, breakouts and the winner in their
// colours, drawn from the race's result. Closing it, whichever way, tells the session, which
// commits the race exactly once; its OK also resets the unit.
class frmDragStats final : public QWidget
{
    Q_OBJECT
public:
    frmDragStats(const RaceResult& result, RaceSession& session, QWidget* parent = nullptr);
    ~frmDragStats() override;

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
};

} // namespace halvex
