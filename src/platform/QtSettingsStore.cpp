#include "platform/QtSettingsStore.h"

#include <QSettings>

namespace halvex {

QString QtSettingsStore::value(const QString& app, const QString& section, const QString& key,
                               const QString& defaultValue) const
{
    QSettings settings(app);
    return settings.value(section + u'/' + key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& app, const QString& section, const QString& key,
                               const QString& value)
{
    QSettings settings(app);
    settings.setValue(section + u'/' + key, value);
}

} // namespace halvex
