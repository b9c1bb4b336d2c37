#pragma once

#include "platform/SettingsStore.h"

namespace halvex {

// Per-user settings kept by QSettings under the organisation "Halvex".
class QtSettingsStore final : public SettingsStore
{
public:
    QString value(const QString& app, const QString& section, const QString& key,
                  const QString& defaultValue) const override;
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override;
};

} // namespace halvex
