#include "PtyPeer.h"

#include "UnitLink.h"

namespace halvex::sim {

PtyPeer::PtyPeer(const QString& folder, int port, quint32 seed) : m_pty(folder, port)
{
    if (!m_pty.isOpen()) {
        return;
    }
    TimingUnit unit(seed);
    unit.settings().answerDelay = std::chrono::milliseconds{0};
    m_link = std::make_unique<UnitLink>(m_pty.masterFd(), std::move(unit));
    m_link->setReceiveHandler([this](const QByteArray& bytes) {
        const std::lock_guard lock(m_mutex);
        m_received += bytes;
    });
    m_link->setCommandHandler([this](const QByteArray& command) {
        {
            const std::lock_guard lock(m_mutex);
            m_commands.append(command);
        }
        m_commandArrived.notify_all();
    });
    m_thread = std::thread([this] { m_link->run(); });
}

PtyPeer::~PtyPeer()
{
    if (m_link) {
        m_link->stop();
        m_thread.join();
    }
}

QString PtyPeer::errorString() const
{
    return m_link ? m_link->errorString() : m_pty.errorString();
}

QList<QByteArray> PtyPeer::commands() const
{
    const std::lock_guard lock(m_mutex);
    return m_commands;
}

QByteArray PtyPeer::received() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

bool PtyPeer::waitForCommands(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_commandArrived.wait_for(lock, std::chrono::milliseconds{timeoutMs},
                                     [&] { return m_commands.size() >= count; });
}

void PtyPeer::clear()
{
    const std::lock_guard lock(m_mutex);
    m_commands.clear();
    m_received.clear();
}

void PtyPeer::setRaceReply(const QList<qint32>& fields)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) {
            unit.settings().raceFields = fields;
            unit.settings().rawRaceReply.reset();
        });
    }
}

void PtyPeer::setRawRaceReply(const QByteArray& bytes)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) { unit.settings().rawRaceReply = bytes; });
    }
}

void PtyPeer::setRandomRaceReply()
{
    if (m_link) {
        m_link->updateUnit([](TimingUnit& unit) {
            unit.settings().raceFields.reset();
            unit.settings().rawRaceReply.reset();
        });
    }
}

void PtyPeer::setMasks(int mask1, int mask2)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) {
            unit.settings().mask1 = mask1;
            unit.settings().mask2 = mask2;
            unit.settings().passStep.reset();
            unit.settings().rawDiagReply.reset();
        });
    }
}

void PtyPeer::setPass(int stepMilliseconds)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) {
            unit.settings().passStep = std::chrono::milliseconds{stepMilliseconds};
            unit.settings().rawDiagReply.reset();
        });
    }
}

void PtyPeer::setRawDiagReply(const QByteArray& bytes)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) { unit.settings().rawDiagReply = bytes; });
    }
}

void PtyPeer::setNoAnswer(bool silent)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) { unit.settings().silent = silent; });
    }
}

void PtyPeer::setMalformed(bool malformed)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) { unit.settings().malformed = malformed; });
    }
}

void PtyPeer::setAnswerDelay(int milliseconds)
{
    if (m_link) {
        m_link->updateUnit([&](TimingUnit& unit) {
            unit.settings().answerDelay = std::chrono::milliseconds{milliseconds};
        });
    }
}

void PtyPeer::sendNow(const QByteArray& bytes)
{
    if (m_link) {
        m_link->send(bytes);
    }
}

} // namespace halvex::sim
