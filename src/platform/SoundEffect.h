#pragma once

#include "platform/ProgramFolder.h"
#include "platform/Sound.h"

#include <QSoundEffect>

#include <memory>

namespace halvex {

// The sound of the module `halvex-sound` (QtSound loads it at the first sound). QSoundEffect: it
// reports a missing sound device and goes on, where a media player would need a full multimedia
// back end.
class SoundEffect final : public Sound
{
public:
    explicit SoundEffect(ProgramFolder folder) : m_folder(std::move(folder)) {}
    void play(const QString& fileName) override;

private:
    ProgramFolder m_folder;
    QSoundEffect m_effect;
};

} // namespace halvex
