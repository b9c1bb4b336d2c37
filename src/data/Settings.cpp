#include "data/Settings.h"

namespace halvex {

void Settings::replace(const DragSettings& record)
{
    m_record = record;
    Q_EMIT changed();
}

QStringList Settings::read(const QString& path)
{
    QStringList failures = readSettingsFile(path, m_record);
    Q_EMIT changed();
    return failures;
}

} // namespace halvex
