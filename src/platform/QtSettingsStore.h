#pragma once

#include "platform/SettingsStore.h"

namespace halvex {

// Per-user settings kept by QSettings in a file named after the application alone
// ($XDG_CONFIG_HOME/<app>.conf), sections as groups.
class QtSettingsStore final : public SettingsStore
{
public:
    QString value(const QString& app, const QString& section, const QString& key,
                  const QString& defaultValue) const override;
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override;
};

} // namespace halvex
