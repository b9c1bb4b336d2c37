#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <span>

namespace halvex {

class SerialPort;
class Prompter;
class Clock;

inline const QString kTransmitProblem =
    QStringLiteral("Problem transmitting data. Verify connections and port settings.");

// The command set of the timing unit and the readers of its replies. While demo mode is on, the
// command routines write nothing; the race routine's own "O", "N" and "P" go out regardless.
class ModCommand
{
public:
    ModCommand(SerialPort& port, Prompter& prompter, Clock& clock, const bool& demoMode,
               bool& raceOk);

    // Indices 1 to 18 (race) and 1 to 2 (diagnostics); index 0 is unused.
    std::array<qint32, 19> RaceReply{};
    std::array<qint32, 3> DiagReply{};

    void setTimeLimitSeconds(int seconds) { m_limitSeconds = seconds; }

    // A command's letters and one line feed; skipped in demo mode. Throws on a closed port.
    void send(const QByteArray& letters);
    // The same without the demo test. Before "O" (the start of every race), "N", "P" or "T"
    // whatever waits in the receive buffer is dropped, so a late answer to an earlier command
    // is never taken for the reply, even when a race is started with no tree chosen.
    void sendUngated(const QByteArray& letters);

    // Reports any failure itself (no title) and then writes nothing.
    void SendHandicap(const QString& leftDialIn, const QString& rightDialIn);
    void SendCountdown(float seconds);
    void SendSignalPolarity(int invertSignal);
    void SendStagingMode(bool preStageStage);
    void SendLaneLights(bool on);

    // Waits for a reply ending in "!" and a line feed. On time-out shows the transmit problem,
    // clears the race flag and leaves the array as it was.
    void ReadRaceReply();
    void ReadDiagReply();

private:
    bool readReply(std::span<qint32> target);

    SerialPort& m_port;
    Prompter& m_prompter;
    Clock& m_clock;
    const bool& m_demoMode;
    bool& m_raceOk;
    int m_limitSeconds = 20;
};

} // namespace halvex
