#include "link/ModCommand.h"

#include "link/CommandEncoding.h"
#include "link/ReplyFraming.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/InputBlocker.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"

#include <QEventLoop>
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

bool ModCommand::SendHandicap(const QString& leftDialIn, const QString& rightDialIn)
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

std::optional<RaceReply> ModCommand::ReadRaceReply()
{
    const std::optional<QByteArray> bytes = awaitReply();
    return bytes ? std::optional(parsed<RaceReply().size()>(*bytes)) : std::nullopt;
}

std::optional<DiagReply> ModCommand::ReadDiagReply()
{
    const std::optional<QByteArray> bytes = awaitReply();
    return bytes ? std::optional(parsed<DiagReply().size()>(*bytes)) : std::nullopt;
}

std::optional<QByteArray> ModCommand::awaitReply()
{
    const qint64 step = m_resolution.count();
    const qint64 start = m_clock.elapsedMs();
    // Whole steps, as the unit's time limit was always read off a clock of whole seconds.
    const qint64 deadline = (start / step) * step + m_limit.count() + step;

    ReplyFraming framing;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    bool timedOut = false;
    bool done = false;
    // The reader's order: take what has arrived, then test the time, then the end mark.
    auto poll = [&] {
        if (done)
            return;
        if (m_port.bytesWaiting() > 0)
            framing.feed(m_port.readAll());
        const qint64 now = m_clock.elapsedMs();
        if (now >= deadline)
            timedOut = true;
        else if (!framing.complete())
            timer.start(static_cast<int>(std::min<qint64>(deadline - now, 1 << 30)));
        done = timedOut || framing.complete();
        if (done)
            loop.quit();
    };
    connect(&m_port, &SerialPort::readyRead, &loop, poll);
    connect(&timer, &QTimer::timeout, &loop, poll);
    poll();
    if (!done) {
        const InputBlocker blocker;
        setWaiting(true);
        loop.exec();
        setWaiting(false);
    }
    if (timedOut) {
        m_prompter.message(kTransmitProblem);
        return std::nullopt;
    }
    return framing.bytes();
}

void ModCommand::setWaiting(bool waiting)
{
    m_waiting = waiting;
    Q_EMIT waitingChanged(waiting);
}

} // namespace halvex
