#pragma once

#include <QWidget>

#include <vector>

class QLabel;

namespace halvex {

struct BracketSheet;

// A class's ladder on the board: rounds as columns under their names, each seat a line with the
// racer and the elapsed time, the winner of a pair in green and its loser dimmed. What does not
// fit at the board's type is left out as the core decides (ladderColumns), never shrunk.
class BoardLadder final : public QWidget
{
    Q_OBJECT
public:
    explicit BoardLadder(QWidget* parent);

    // Lays the sheet out over the panel's size in type of the given height.
    void draw(const BracketSheet& sheet, int pixels);

private:
    QLabel* label(std::size_t index);

    std::vector<QLabel*> m_labels;
};

} // namespace halvex
