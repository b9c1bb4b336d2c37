#pragma once

#include "platform/ProgramFolder.h"
#include "platform/Sound.h"

#include <QSoundEffect>

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
    QSoundEffect m_effect;
};

} // namespace halvex
