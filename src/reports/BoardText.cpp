#include "reports/BoardText.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace halvex {

void setPixelSize(QLabel* label, int pixels)
{
    QFont f = label->font();
    f.setPixelSize(std::max(1, pixels));
    label->setFont(f);
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

int lineHeight(const QLabel* label, int pixels)
{
    QFont f = label->font();
    f.setPixelSize(std::max(1, pixels));
    return QFontMetrics(f).height() + 2 * kBoardGap;
}

QString fitName(const QFontMetrics& metrics, const QString& name, const QString& tail, int room)
{
    // The parts measured apart may add up to a pixel more than the whole; shorten until it fits.
    for (int nameRoom = room - metrics.horizontalAdvance(tail);; --nameRoom) {
        QString text = metrics.elidedText(name, Qt::ElideRight, std::max(nameRoom, 0)) + tail;
        if (nameRoom <= 0 || metrics.horizontalAdvance(text) <= room)
            return text;
    }
}

} // namespace halvex
