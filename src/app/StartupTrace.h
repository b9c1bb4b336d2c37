#pragma once

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace halvex {

// Start-up measurement: HALVEX_TRACE_STARTUP holds the launch time in nanoseconds since the epoch
// (taken by whoever starts the program); once the main window has been exposed and its first
// paint has been handled, the time since the launch is printed. Unset, nothing is installed.
class StartupTrace final : public QObject
{
public:
    explicit StartupTrace(qint64 launchNs) : m_launchNs(launchNs) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || m_seen)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || !window->isExposed())
            return false;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowHandle() == window && qobject_cast<QMainWindow*>(top)) {
                m_seen = true;
                // Queued behind the expose, so the first paint is counted too.
                QTimer::singleShot(0, this, [this] {
                    timespec now{};
                    clock_gettime(CLOCK_REALTIME, &now);
                    const qint64 nowNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
                    std::printf("startup-ms %.3f\n", double(nowNs - m_launchNs) / 1e6);
                    std::fflush(stdout);
                    qApp->removeEventFilter(this);
                });
                break;
            }
        }
        return false;
    }

private:
    qint64 m_launchNs;
    bool m_seen = false;
};

// Installs the trace when HALVEX_TRACE_STARTUP holds a launch time; returns it for deletion.
inline StartupTrace* installStartupTrace(QApplication& app)
{
    const qint64 launchNs = qgetenv("HALVEX_TRACE_STARTUP").toLongLong();
    if (launchNs <= 0)
        return nullptr;
    auto* trace = new StartupTrace(launchNs);
    app.installEventFilter(trace);
    return trace;
}

} // namespace halvex
