#include "platform/QtSound.h"

#include <QUrl>

namespace halvex {

void QtSound::play(const QString& fileName)
{
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(m_folder.path(fileName));
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->play();
}

} // namespace halvex
