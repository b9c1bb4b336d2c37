#pragma once

#include "link/ReplyParser.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace halvex {

class SerialPort;
class Prompter;
class Clock;

inline const QString kTransmitProblem =
    QStringLiteral("Problem transmitting data. Verify connections and port settings.");

// The command set of the timing unit and the readers of its replies.
//
// Who reports a failure: the plain commands (send, sendUngated and the Send routines without a
// result) throw halvex::Failure and leave the report to their caller, whose own pattern decides
// whether it goes on, ends, or stays silent. SendHandicap and the two reply readers report a
// failure themselves, as the system does, and tell the caller by their result: the race goes on
// after a failed handicap, and ends after a reply that never came. A race reply whose number does
// not fit 32 bits is handed back with the failure's description, for the race to report.
//
// While demo mode is on, the command routines write nothing; the race routine's own "O", "N" and
// "P" (sendUngated) go out regardless.
class ModCommand final : public QObject
{
    Q_OBJECT
public:
    ModCommand(SerialPort& port, Prompter& prompter, Clock& clock);

    void setDemoMode(bool demo) { m_demoMode = demo; }
    bool demoMode() const { return m_demoMode; }

    // The reply time limit, counted in whole steps of the resolution as a clock of whole seconds
    // counts: the time-out comes between limit and limit + resolution after the command.
    void setTimeLimit(std::chrono::milliseconds limit,
                      std::chrono::milliseconds resolution = std::chrono::seconds(1));

    // A command's letters and one line feed; skipped in demo mode.
    void send(const QByteArray& letters);
    // The same without the demo test. Before "O" (the start of every race), "N", "P" or "T"
    // whatever waits in the receive buffer is dropped, so a late answer to an earlier command
    // is never taken for the reply, even when a race is started with no tree chosen.
    void sendUngated(const QByteArray& letters);

    // Returns false when nothing was written; the failure has been shown without a title.
    bool SendHandicap(float leftDialIn, float rightDialIn);
    void SendCountdown(float seconds);
    void SendSignalPolarity(int invertSignal);
    void SendStagingMode(bool preStageStage);
    void SendLaneLights(bool on);

    // The outcome of a race reply's wait: the reply, or none after a time-out or a reply whose
    // numbers do not fit 32 bits (the failure's description). The race shows either message, once
    // it has given the operator's input back.
    struct RaceRead
    {
        std::optional<RaceReply> reply;
        bool timedOut = false;
        QString failure;
    };
    // Waits for a reply ending in "!" and a line feed without blocking: `done` is called once the
    // reply is in or the time limit has passed. When `context` goes first (a race abandoned by a
    // quit), the wait ends without a call.
    void ReadRaceReplyLater(QObject* context, std::function<void(const RaceRead&)> done);

    // The outcome of a diagnostics reply read without a nested loop: the reply, or none after a
    // time-out (its message shown) or a reply whose numbers do not fit 32 bits (nothing shown).
    struct DiagRead
    {
        std::optional<DiagReply> reply;
        bool timedOut = false;
    };
    // The diagnostics reply: the same wait without a nested event loop, for a window that keeps
    // taking the operator's input while it polls: `done` is called once the reply is in or the
    // time-out message has been shown. When `context` goes first, the wait ends without a call.
    void ReadDiagReplyLater(QObject* context, std::function<void(const DiagRead&)> done);

private:
    // The one wait for a reply behind both readers.
    void readLater(QObject* context, std::function<void(bool timedOut, const QByteArray&)> done);
    qint64 replyDeadline() const;

    SerialPort& m_port;
    Prompter& m_prompter;
    Clock& m_clock;
    bool m_demoMode = false;
    std::chrono::milliseconds m_limit = std::chrono::seconds(20);
    std::chrono::milliseconds m_resolution = std::chrono::seconds(1);
};

} // namespace halvex
