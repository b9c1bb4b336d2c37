#pragma once

#include "data/DragSettings.h"

#include <QObject>

namespace halvex {

// The one settings record of the run. Windows that show what depends on it follow changed().
class Settings final : public QObject
{
    Q_OBJECT
public:
    const DragSettings& record() const { return m_record; }
    void replace(const DragSettings& record);

    // Reads the file into the record, as readSettingsFile does; returns the failures met.
    QStringList read(const QString& path);

Q_SIGNALS:
    void changed();

private:
    DragSettings m_record;
};

} // namespace halvex
