#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace halvex {

// Date and time of day in whole seconds, and a count of milliseconds that only moves forward.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    // Milliseconds on a monotonic timer: setting the system clock while the program waits for
    // the unit can neither stretch nor cut the wait.
    virtual qint64 elapsedMs() = 0;
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
    qint64 elapsedMs() override { return m_elapsed.elapsed(); }

private:
    QElapsedTimer m_elapsed;
};

} // namespace halvex
