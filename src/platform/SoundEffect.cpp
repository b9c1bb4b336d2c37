#include "platform/SoundEffect.h"

#include <QUrl>

namespace halvex {

void SoundEffect::play(const QString& fileName)
{
    const QUrl source = QUrl::fromLocalFile(m_folder.shippedPath(fileName));
    if (m_effect.source() != source)
        m_effect.setSource(source);
    m_effect.play();
}

} // namespace halvex

// The module's entry: the program's QtSound calls it at the first sound.
extern "C" Q_DECL_EXPORT halvex::Sound* halvexCreateSound(const halvex::ProgramFolder& folder)
{
    return new halvex::SoundEffect(folder);
}
