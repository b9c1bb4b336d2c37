#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace halvex {

// Date and time of day in whole seconds, and a count of whole seconds that only moves forward,
// the resolution the system's time limits are measured in.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    // Seconds on a monotonic timer: setting the system clock while the program waits for the
    // unit can neither stretch nor cut the wait.
    virtual qint64 elapsedSeconds() = 0;
};

class SystemClock final : public Clock
{
public:
    SystemClock() { m_elapsed.start(); }
    QDateTime now() override
    {
        const QDateTime t = QDateTime::currentDateTime();
        return t.addMSecs(-t.time().msec());
    }
    qint64 elapsedSeconds() override { return m_elapsed.elapsed() / 1000; }

private:
    QElapsedTimer m_elapsed;
};

} // namespace halvex
