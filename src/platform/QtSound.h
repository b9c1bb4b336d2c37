#pragma once

#include "platform/ProgramFolder.h"
#include "platform/Sound.h"

#include <QSoundEffect>

#include <memory>

namespace halvex {

// QSoundEffect: it reports a missing sound device and goes on, where a media player would need
// a full multimedia back end.
class QtSound final : public Sound
{
public:
    explicit QtSound(ProgramFolder folder) : m_folder(std::move(folder)) {}
    void play(const QString& fileName) override;

private:
    ProgramFolder m_folder;
    // Made at the first sound: the sound system's set-up (devices, the sound server) is slow and
    // would otherwise hold up every start of the program.
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace halvex
