#pragma once

#include <QString>

namespace halvex {

inline const QString kCoinSoundFileName = QStringLiteral("Coindrop.wav");

// Plays a wave file of the program folder once. A machine without a sound device plays nothing,
// and neither waits nor fails.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void play(const QString& fileName) = 0;
};

} // namespace halvex
