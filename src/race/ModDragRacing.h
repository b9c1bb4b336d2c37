#pragma once

#include "data/DragSettings.h"
#include "data/RaceLog.h"
#include "race/WindowState.h"

namespace halvex {

inline const QString kMainCaption = QStringLiteral("Vantora - Halvex 3000");
inline const QString kDemoCaption = QStringLiteral("Vantora - Halvex 3000      DEMO MODE");

inline constexpr qint32 kColourRed = 255;
inline constexpr qint32 kColourGreen = 65280;
inline constexpr qint32 kColourYellow = 65535;

// The state the windows share for the whole run: the window state globals, the settings record,
// the race log and the race flags.
struct ModDragRacing : WindowState
{
    qint16 Credits = 0;
    bool RaceOk = false;
    float TrapTimeLeft = 0;
    float TrapTimeRight = 0;
    DragSettings Settings;
    RaceHistory Log;
};

} // namespace halvex
