#pragma once

#include <QDateTime>

namespace halvex {

// Date and time of day in whole seconds, the resolution the system's time limits are measured in.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() override
    {
        QDateTime t = QDateTime::currentDateTime();
        return t.addMSecs(-t.time().msec());
    }
};

} // namespace halvex
