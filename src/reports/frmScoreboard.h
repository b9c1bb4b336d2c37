#pragma once

#include <QRect>
#include <QWidget>

#include <array>

class QLabel;
class QScreen;

namespace halvex {

class BoardLadder;
class Scoreboard;

// The board for the crowd, on a second screen or a projector: the two lanes side by side with
// the pairing being set up, then each race's results in large type, in the statistics window's
// colours and in words, and below them the pair on deck and the last races or a class's ladder.
// It draws what the scoreboard tells it and nothing else, so it can be opened, moved and closed
// at any time without touching a race. Its type follows its height, no text smaller than a
// twentieth of it so that the board reads at 10 m; long names are shortened with "…" rather than
// set smaller. F11 switches full screen.
class frmScoreboard final : public QWidget
{
    Q_OBJECT
public:
    explicit frmScoreboard(const Scoreboard& board, QWidget* parent = nullptr);

    // Full screen on a screen other than the main window's when there is one, else a window.
    void present(const QScreen* mainScreen);

    QLabel* lblDragRacingClass = nullptr;
    QLabel* lblRaceTitle = nullptr;
    QLabel* lblNameLeft = nullptr;
    QLabel* lblNameRight = nullptr;
    QLabel* lblCarLeft = nullptr;
    QLabel* lblCarRight = nullptr;
    QLabel* lblLeftDialin = nullptr;
    QLabel* lblRightDialin = nullptr;
    QLabel* lblLeftRT = nullptr;
    QLabel* lblRT = nullptr;
    QLabel* lblRightRT = nullptr;
    QLabel* lblLeftET = nullptr;
    QLabel* lblET = nullptr;
    QLabel* lblRightET = nullptr;
    QLabel* lblLeftMPH = nullptr;
    QLabel* lblMPH = nullptr;
    QLabel* lblRightMPH = nullptr;
    QLabel* lblLeftWM = nullptr;
    QLabel* lblWinMargin = nullptr;
    QLabel* lblRightWM = nullptr;
    QLabel* lblLeftVerdict = nullptr;
    QLabel* lblRightVerdict = nullptr;
    QLabel* lblOnDeck = nullptr;
    BoardLadder* ladder = nullptr;
    // The last races, newest on top: left lane, race number, right lane.
    std::array<std::array<QLabel*, 3>, 5> lblLastRaces{};

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void setFullScreen(bool on);
    void draw();
    void place();

    const Scoreboard& m_board;
    QRect m_normalGeometry;
};

} // namespace halvex
