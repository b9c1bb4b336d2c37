#pragma once

#include "data/DragSettings.h"
#include "data/RaceLog.h"

#include <QString>

namespace halvex {

// How the statistics window writes a race's results.
QString timeText(float seconds);   // "0.0000"
QString dialInText(float seconds); // "0.000"
QString speedText(float speed);    // "0.00" up to 100, "0.0" above
// The win margin when it is above 0; otherwise empty, and the label keeps its caption.
QString winMarginText(float margin);
// Sensors shown: the configured count, at most 5.
int shownSensors(const DragSettings& settings);
// The times at the first n timing points of a lane, one per line.
QString timingPointLines(const RaceRecord& record, int n);
QString sensorNameLines(const DragSettings& settings, int n);
// Font size of the three timing labels for n sensors; 0 keeps the designed size.
int timingFontSize(int n);

} // namespace halvex
