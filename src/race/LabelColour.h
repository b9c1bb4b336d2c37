#pragma once

#include <QtGlobal>

class QWidget;

namespace halvex {

// Background colour of a label from a colour value with red in the low byte, and back.
void setBackColour(QWidget* widget, qint32 colour);
qint32 backColour(const QWidget* widget);

} // namespace halvex
