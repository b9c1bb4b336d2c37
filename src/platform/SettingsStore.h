#pragma once

#include <QMap>
#include <QString>

namespace halvex {

// The per-user store of program settings (application, section, key, text value).
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& app, const QString& section, const QString& key,
                          const QString& defaultValue) const = 0;
    virtual void setValue(const QString& app, const QString& section, const QString& key,
                          const QString& value) = 0;
};

class MemorySettingsStore final : public SettingsStore
{
public:
    QString value(const QString& app, const QString& section, const QString& key,
                  const QString& defaultValue) const override
    {
        return m_values.value(app + u'/' + section + u'/' + key, defaultValue);
    }
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override
    {
        m_values.insert(app + u'/' + section + u'/' + key, value);
    }

private:
    QMap<QString, QString> m_values;
};

} // namespace halvex
