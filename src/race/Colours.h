#pragma once

#include <QtGlobal>

namespace halvex {

// Colour values with red in the low byte, as the window state file keeps them.
inline constexpr qint32 kColourRed = 255;
inline constexpr qint32 kColourGreen = 65280;
inline constexpr qint32 kColourYellow = 65535;
inline constexpr qint32 kColourLightGrey = 224 | (224 << 8) | (224 << 16);

} // namespace halvex
