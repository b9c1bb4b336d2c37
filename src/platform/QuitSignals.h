#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace halvex {

// SIGTERM, SIGINT and SIGHUP (a shutdown, Ctrl+C in the terminal, the terminal closed) reach the
// program as quitRequested() on its event loop, so it quits the way File, Exit does: the race on
// screen committed, the files written, the port closed. One instance a process.
class QuitSignals final : public QObject
{
    Q_OBJECT
public:
    QuitSignals();
    ~QuitSignals() override;
    Q_DISABLE_COPY_MOVE(QuitSignals)

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace halvex
