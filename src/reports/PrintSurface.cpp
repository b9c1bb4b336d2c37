#include "reports/PrintSurface.h"

namespace halvex {

void PrintSurface::setGreyScale()
{
    m_greyScale = true;
    greyScaleSwitchedOn();
}

void PrintSurface::print(const PrintLine& items, LineEnd end)
{
    for (const PrintItem& item : items) {
        switch (item.kind) {
        case PrintItem::Kind::Tab: {
            const double column = (std::max(item.column, 1) - 1) * averageCharWidth();
            // Only a position strictly beyond the column wraps; one that stands on it stays.
            if (m_pos.x > column)
                endLine();
            m_pos.x = column;
            break;
        }
        case PrintItem::Kind::Text:
        case PrintItem::Kind::Integer: {
            const QString text = item.kind == PrintItem::Kind::Text
                                     ? item.text
                                     : (item.number < 0 ? QString() : QStringLiteral(" ")) +
                                           QString::number(item.number) + u' ';
            if (!text.isEmpty()) {
                drawText(m_pos, text);
                m_pos.x += textWidth(text);
            }
            break;
        }
        }
    }
    if (items.isEmpty() || end == LineEnd::Ends)
        endLine();
}

void PrintSurface::endLine()
{
    m_pos.x = 0;
    m_pos.y += lineHeight();
    ++m_pos.line;
    // A line that would reach past the printable area goes on the next page, as a printer does.
    if (m_pos.y + lineHeight() > printableSize().height())
        newPage();
}

void PrintSurface::endDocument()
{
    finishJob();
    m_pos = {};
}

void PrintSurface::newPage()
{
    startPage();
    m_pos = {};
}

void PrintSurface::setOrientation(int orientation)
{
    m_orientation = orientation == 2 ? 2 : 1;
    orientationChanged();
}

double PrintSurface::twipsPer(ScaleMode mode, bool horizontal)
{
    switch (mode) {
    case ScaleMode::Twips:
        return 1;
    case ScaleMode::Points:
        return 20;
    case ScaleMode::Pixels:
        return horizontal ? twipsPerPixel().x() : twipsPerPixel().y();
    case ScaleMode::Characters:
        return horizontal ? 120 : 240;
    case ScaleMode::Inches:
        return 1440;
    case ScaleMode::Millimetres:
        return 1440 / 25.4;
    case ScaleMode::Centimetres:
        return 1440 / 2.54;
    }
    return 1;
}

double PrintSurface::scaleX(double value, ScaleMode from, ScaleMode to)
{
    return value * twipsPer(from, true) / twipsPer(to, true);
}

double PrintSurface::scaleY(double value, ScaleMode from, ScaleMode to)
{
    return value * twipsPer(from, false) / twipsPer(to, false);
}

double PrintSurface::scaleWidth()
{
    return scaleX(printableSize().width(), ScaleMode::Pixels, m_scaleMode);
}

double PrintSurface::scaleHeight()
{
    return scaleY(printableSize().height(), ScaleMode::Pixels, m_scaleMode);
}

} // namespace halvex
