#include "race/LabelColour.h"

#include <QWidget>

namespace halvex {

void setBackColour(QWidget* widget, qint32 colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colourOf(colour));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

qint32 backColour(const QWidget* widget)
{
    const QColor c = widget->palette().color(QPalette::Window);
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace halvex
