#pragma once

#include "PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace halvex::sim {

class UnitLink;

// A scripted timing unit for tests: links COM<port> in a folder to a pseudo-terminal and
// serves it from a background thread, recording everything the program sends. Answers go out
// at 9600 baud like the real unit's; unlike the simulator's default, a race is answered at once
// unless an answer delay is set. Until told otherwise it answers races with seeded random
// times and "T" with masks 0 and 0.
class PtyPeer
{
public:
    PtyPeer(const QString& folder, int port, quint32 seed = 1);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool isOpen() const { return m_link != nullptr; }
    QString errorString() const;
    QString linkPath() const { return m_pty.linkPath(); }
    QString devicePath() const { return m_pty.devicePath(); }

    // Commands cut as the unit cuts them ("A" with its two number lines is one), bytes as sent.
    QList<QByteArray> commands() const;
    QByteArray received() const;
    bool waitForCommands(int count, int timeoutMs) const;
    void clear();

    void setRaceReply(const QList<qint32>& fields);
    void setRawRaceReply(const QByteArray& bytes); // sent exactly, framing included
    void setRandomRaceReply();
    void setMasks(int mask1, int mask2);
    // A car passing the strip in each lane, each sensor blocked for the step (passMasks).
    void setPass(int stepMilliseconds);
    void setRawDiagReply(const QByteArray& bytes);
    void setNoAnswer(bool silent);
    void setMalformed(bool malformed);
    void setAnswerDelay(int milliseconds);
    void sendNow(const QByteArray& bytes);

private:
    PseudoTerminal m_pty;
    std::unique_ptr<UnitLink> m_link;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_commandArrived;
    QList<QByteArray> m_commands;
    QByteArray m_received;
};

} // namespace halvex::sim
