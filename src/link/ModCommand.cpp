#include "link/ModCommand.h"

#include "link/CommandEncoding.h"
#include "link/ReplyParser.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"

namespace halvex {

ModCommand::ModCommand(SerialPort& port, Prompter& prompter, Clock& clock, const bool& demoMode,
                       bool& raceOk)
    : m_port(port), m_prompter(prompter), m_clock(clock), m_demoMode(demoMode), m_raceOk(raceOk)
{}

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

void ModCommand::SendHandicap(const QString& leftDialIn, const QString& rightDialIn)
{
    if (m_demoMode)
        return;
    try {
        const QByteArray lines = handicapLines(handicapDelays(leftDialIn, rightDialIn));
        if (!m_port.isOpen())
            throw Failure(QStringLiteral("Operation valid only when the port is open"),
                          Failure::PortNotOpen);
        m_port.write("A\n");
        m_port.write(lines);
    } catch (const Failure& f) {
        m_prompter.message(f.description());
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

void ModCommand::ReadRaceReply()
{
    if (!readReply(std::span<qint32>(RaceReply).subspan(1)))
        m_raceOk = false;
}

void ModCommand::ReadDiagReply()
{
    if (!readReply(std::span<qint32>(DiagReply).subspan(1)))
        m_raceOk = false;
}

bool ModCommand::readReply(std::span<qint32> target)
{
    // Whole seconds: the time-out comes 20 to 21 seconds after the command.
    const qint64 limit = m_clock.elapsedSeconds() + m_limitSeconds;
    QByteArray buffer;
    for (;;) {
        if (m_port.bytesWaiting() > 0)
            buffer += m_port.readAll();
        if (m_clock.elapsedSeconds() > limit) {
            m_prompter.message(kTransmitProblem);
            return false;
        }
        if (buffer.endsWith("!\n")) {
            parseReply(QString::fromLatin1(buffer), kReplyValidChars, kReplyDelimiter, target, 1);
            return true;
        }
        // Block on the port rather than spin: the wait ends as soon as bytes arrive.
        m_port.waitForBytes(50);
    }
}

} // namespace halvex
