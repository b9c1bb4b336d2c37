#pragma once

#include <QColor>

class QWidget;

namespace halvex {

// A colour value with red in the low byte as a QColor.
inline QColor colourOf(qint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Background colour of a label from a colour value with red in the low byte, and back.
void setBackColour(QWidget* widget, qint32 colour);
qint32 backColour(const QWidget* widget);

} // namespace halvex
