#pragma once

#include "platform/ProgramFolder.h"
#include "platform/Sound.h"

#include <memory>

namespace halvex {

// The program's sound: the module `halvex-sound` beside the program (see SoundEffect.h), loaded
// at the first sound, so that the multimedia libraries and the sound system's set-up (devices,
// the sound server) hold up no start of the program. Without the module nothing is played, as
// on a machine without a sound device.
class QtSound final : public Sound
{
public:
    explicit QtSound(ProgramFolder folder);
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(const QString& fileName) override;

private:
    ProgramFolder m_folder;
    bool m_tried = false;
    std::unique_ptr<Sound> m_effect;
};

} // namespace halvex
