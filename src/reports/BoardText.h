#pragma once

#include <QString>

class QColor;
class QFontMetrics;
class QLabel;

namespace halvex {

// The board's type: bold, sized in pixels so that it follows the screen rather than its dots per
// inch. These are shared by the board and its ladder.
inline constexpr int kBoardGap = 2;

void setPixelSize(QLabel* label, int pixels);
void setTextColour(QLabel* label, const QColor& colour);
// The height of a label that holds one line of the label's type at the given size.
int lineHeight(const QLabel* label, int pixels);
// The name, shortened with "…" where it must be, then the tail, in no more than room pixels: the
// tail (a time) is what the crowd must not lose.
QString fitName(const QFontMetrics& metrics, const QString& name, const QString& tail, int room);

} // namespace halvex
