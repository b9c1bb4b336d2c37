#include "link/ModCommand.h"

#include "link/CommandEncoding.h"
#include "link/ReplyFraming.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"

#include <QPointer>
#include <QTimer>

namespace halvex {

ModCommand::ModCommand(SerialPort& port, Prompter& prompter, Clock& clock)
    : m_port(port), m_prompter(prompter), m_clock(clock)
{}

void ModCommand::setTimeLimit(std::chrono::milliseconds limit, std::chrono::milliseconds resolution)
{
    m_limit = limit;
    m_resolution = std::max(resolution, std::chrono::milliseconds(1));
}

void ModCommand::send(const QByteArray& letters)
{
    if (m_demoMode)
        return;
    sendUngated(letters);
}

void ModCommand::sendUngated(const QByteArray& letters)
{
    if (letters == "O" || letters == "N" || letters == "P" || letters == "T") {
        if (m_port.isOpen())
            m_port.discardInput();
    }
    m_port.write(letters + '\n');
}

bool ModCommand::SendHandicap(float leftDialIn, float rightDialIn)
{
    if (m_demoMode)
        return false;
    try {
        const QByteArray lines = handicapLines(handicapDelays(leftDialIn, rightDialIn));
        if (!m_port.isOpen())
            throw Failure(QStringLiteral("Operation valid only when the port is open"),
                          Failure::PortNotOpen);
        m_port.write("A\n");
        m_port.write(lines);
        return true;
    } catch (const Failure& f) {
        m_prompter.message(f.description());
        return false;
    }
}

void ModCommand::SendCountdown(float seconds)
{
    if (m_demoMode)
        return;
    const QByteArray line = countdownLine(seconds);
    m_port.write("B");
    m_port.write(line);
}

void ModCommand::SendSignalPolarity(int invertSignal)
{
    send(invertSignal == 1 ? "Y" : "X");
}

void ModCommand::SendStagingMode(bool preStageStage)
{
    send(preStageStage ? "R" : "S");
}

void ModCommand::SendLaneLights(bool on)
{
    send(on ? "GL21" : "GL20");
    send(on ? "GR21" : "GR20");
}

namespace {

template <std::size_t N> std::array<qint32, N> parsed(const QByteArray& bytes)
{
    std::array<qint32, N> reply{};
    parseReply(QString::fromLatin1(bytes), kReplyValidChars, kReplyDelimiter,
               std::span<qint32>(reply).subspan(1), 1);
    return reply;
}

} // namespace

namespace {

// One wait for a reply: takes what arrives, in the reader's order (what has arrived, then the
// time, then the end mark), until the reply is whole or the deadline has passed; then `finished`.
class ReplyWait final : public QObject
{
public:
    ReplyWait(SerialPort& port, Clock& clock, qint64 deadline, QObject* parent = nullptr)
        : QObject(parent), m_port(port), m_clock(clock), m_deadline(deadline)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_port, &SerialPort::readyRead, this, &ReplyWait::poll);
        connect(&m_timer, &QTimer::timeout, this, &ReplyWait::poll);
    }

    std::function<void()> finished;
    bool done() const { return m_timedOut || m_framing.complete(); }
    bool timedOut() const { return m_timedOut; }
    const QByteArray& bytes() const { return m_framing.bytes(); }

    void poll()
    {
        if (done())
            return;
        if (m_port.bytesWaiting() > 0)
            m_framing.feed(m_port.readAll());
        const qint64 now = m_clock.elapsedMs();
        if (now >= m_deadline)
            m_timedOut = true;
        else if (!m_framing.complete())
            m_timer.start(static_cast<int>(std::min<qint64>(m_deadline - now, 1 << 30)));
        if (done() && finished)
            finished();
    }

private:
    SerialPort& m_port;
    Clock& m_clock;
    qint64 m_deadline;
    ReplyFraming m_framing;
    QTimer m_timer;
    bool m_timedOut = false;
};

} // namespace

qint64 ModCommand::replyDeadline() const
{
    const qint64 step = m_resolution.count();
    const qint64 start = m_clock.elapsedMs();
    // Whole steps, as the unit's time limit was always read off a clock of whole seconds.
    return (start / step) * step + m_limit.count() + step;
}

void ModCommand::readLater(QObject* context,
                           std::function<void(bool timedOut, const QByteArray&)> done)
{
    auto* wait = new ReplyWait(m_port, m_clock, replyDeadline(), context);
    wait->finished = [wait, done = std::move(done)]() mutable {
        // The wait goes now: from here on only what is copied out is used.
        auto callback = std::move(done);
        const bool timedOut = wait->timedOut();
        const QByteArray bytes = wait->bytes();
        wait->deleteLater();
        callback(timedOut, bytes);
    };
    QTimer::singleShot(0, wait, [wait] { wait->poll(); });
}

void ModCommand::ReadRaceReplyLater(QObject* context, std::function<void(const RaceRead&)> done)
{
    readLater(context, [done = std::move(done)](bool timedOut, const QByteArray& bytes) {
        RaceRead read;
        read.timedOut = timedOut;
        if (!timedOut) {
            try {
                read.reply = parsed<RaceReply().size()>(bytes);
            } catch (const Failure& f) {
                read.failure = f.description();
            }
        }
        done(read);
    });
}

void ModCommand::ReadDiagReplyLater(QObject* context, std::function<void(const DiagRead&)> done)
{
    const QPointer<QObject> alive = context;
    readLater(context,
              [this, alive, done = std::move(done)](bool timedOut, const QByteArray& bytes) {
                  DiagRead read;
                  read.timedOut = timedOut;
                  // The window may close while the message is up: it is called back only while it
                  // lives.
                  if (timedOut)
                      m_prompter.message(kTransmitProblem);
                  else {
                      try {
                          read.reply = parsed<DiagReply().size()>(bytes);
                      } catch (const Failure&) {
                          // A number past 32 bits: the reply is malformed.
                      }
                  }
                  if (alive)
                      done(read);
              });
}

} // namespace halvex
