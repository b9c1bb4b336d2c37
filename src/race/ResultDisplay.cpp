#include "race/ResultDisplay.h"

#include "data/Numbers.h"

#include <QStringList>

#include <algorithm>

namespace halvex {

QString timeText(float seconds)
{
    return fixed(seconds, 4);
}

QString dialInText(float seconds)
{
    return fixed(seconds, 3);
}

QString speedText(float speed)
{
    return speed > 100.0f ? fixed(speed, 1) : fixed(speed, 2);
}

QString winMarginText(float margin)
{
    return margin > 0.0f ? fixed(margin, 4) : QString();
}

int shownSensors(const DragSettings& settings)
{
    return std::clamp<int>(settings.NumberOfSensors, 0, 5);
}

QString timingPointLines(const RaceRecord& record, int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines.append(timeText(record.TimingPoint[i]));
    return lines.join(u'\n');
}

QString sensorNameLines(const DragSettings& settings, int n)
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines.append(settings.InterSensorDistance[i]);
    return lines.join(u'\n');
}

int timingFontSize(int n)
{
    switch (n) {
    case 3:
        return 40;
    case 4:
        return 30;
    case 5:
        return 23;
    default:
        return 0;
    }
}

} // namespace halvex
