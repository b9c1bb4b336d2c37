#include "link/LinkWatch.h"

#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/SerialPort.h"

namespace halvex {

LinkWatch::LinkWatch(SerialPort& port, ModCommand& command, Hooks hooks,
                     std::chrono::milliseconds interval)
    : m_port(port), m_command(command), m_hooks(std::move(hooks))
{
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &LinkWatch::check);
    connect(&m_port, &SerialPort::deviceLost, this, &LinkWatch::lost);
}

void LinkWatch::start()
{
    m_started = true;
    setConnected(m_port.isOpen());
    m_timer.start();
}

void LinkWatch::check()
{
    if (m_command.demoMode() || (m_hooks.busy && m_hooks.busy()))
        return;
    if (m_port.isOpen()) {
        if (m_port.devicePresent()) {
            // Opened again by someone else, as the settings window's port check does.
            setConnected(true);
            return;
        }
        lost();
        m_port.close();
    }
    setConnected(false);
    reopen();
}

void LinkWatch::relink()
{
    if (m_port.isOpen()) {
        lost();
        m_port.close();
    }
    setConnected(false);
    reopen();
}

void LinkWatch::reopen()
{
    // The port's number is the settings' one, or the one the settings window's check last opened.
    try {
        m_port.open();
    } catch (const Failure&) {
        return;
    }
    if (m_port.portNumber() == m_lostNumber && m_port.deviceName() != m_lostDevice) {
        m_port.close();
        return;
    }
    try {
        if (m_hooks.setUpUnit)
            m_hooks.setUpUnit();
    } catch (const Failure&) {
        // A device that takes no commands is no unit: the next look tries again.
        m_port.close();
        return;
    }
    m_lostNumber = 0;
    setConnected(true);
}

void LinkWatch::lost()
{
    m_lostNumber = m_port.portNumber();
    m_lostDevice = m_port.deviceName();
    setConnected(false);
}

void LinkWatch::setConnected(bool connected)
{
    if (connected == m_connected && m_started)
        return;
    m_connected = connected;
    Q_EMIT connectedChanged(connected);
}

} // namespace halvex
