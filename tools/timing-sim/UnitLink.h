#pragma once

#include "CommandSplitter.h"
#include "TimingUnit.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace halvex::sim {

// One byte of 8N1 at 9600 baud: start bit, eight data bits, stop bit.
inline constexpr std::chrono::nanoseconds kByteTime{1'041'667};

// Runs a timing unit on the master side of a pseudo-terminal: reads what the program sends,
// cuts it into commands, and sends the unit's answers no faster than the real line would
// carry them, so that the program's waits and time-outs see real timings. A byte is handed to
// the line only when its last bit would have arrived; when the loop wakes late, the bytes that
// are due go out together, so nothing ever arrives earlier than on a real line.
//
// run() is the loop and blocks until stop(); everything else may be called from other
// threads while it runs, and stop() also from a signal handler.
class UnitLink
{
public:
    using Handler = std::function<void(const QByteArray&)>;

    UnitLink(int masterFd, TimingUnit unit); // the descriptor stays the caller's
    ~UnitLink();
    UnitLink(const UnitLink&) = delete;
    UnitLink& operator=(const UnitLink&) = delete;

    // Both are called on the loop's thread; set them before run().
    void setReceiveHandler(Handler handler) { m_onReceive = std::move(handler); }
    void setCommandHandler(Handler handler) { m_onCommand = std::move(handler); }

    void updateUnit(const std::function<void(TimingUnit&)>& change);
    // Puts bytes on the line now, ahead of answers that are still waiting for their time.
    void send(const QByteArray& bytes);

    void run();
    void stop();

    QString errorString() const; // why run() ended other than by stop(), else empty
    QByteArray unfinished() const { return m_splitter.unfinished(); }

private:
    using Clock = std::chrono::steady_clock;

    struct Transmission
    {
        QByteArray bytes;
        Clock::time_point notBefore;
        qsizetype sent = 0;
    };

    void enqueue(Transmission transmission);
    void takePosted();
    bool receive();
    bool transmitDue(Clock::time_point now, bool& lineFull);
    Clock::time_point nextByteDue() const;
    void fail(const char* what);

    int m_master;
    int m_wake = -1;
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex; // guards m_unit, m_posted and m_error
    TimingUnit m_unit;
    std::vector<Transmission> m_posted;
    QString m_error;

    Handler m_onReceive;
    Handler m_onCommand;
    CommandSplitter m_splitter;
    std::deque<Transmission> m_queue;
    Clock::time_point m_lineFreeAt{};
};

} // namespace halvex::sim
