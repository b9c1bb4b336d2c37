#include "platform/QtSound.h"

#include "platform/Module.h"

namespace halvex {

QtSound::QtSound(ProgramFolder folder) : m_folder(std::move(folder)) {}

QtSound::~QtSound() = default;

void QtSound::play(const QString& fileName)
{
    if (!m_tried) {
        m_tried = true;
        using Create = Sound*(const ProgramFolder&);
        if (auto* create = moduleFunction<Create>(QStringLiteral("halvex-sound"),
                                                  "halvexCreateSound", nullptr))
            m_effect.reset(create(m_folder));
    }
    if (m_effect)
        m_effect->play(fileName);
}

} // namespace halvex
