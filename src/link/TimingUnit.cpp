#include "link/TimingUnit.h"

#include "data/Settings.h"
#include "platform/Failure.h"
#include "platform/SerialPort.h"

namespace halvex {

TimingUnit::TimingUnit(SerialPort& port, Prompter& prompter, Clock& clock, Settings& settings)
    : m_port(port), m_settings(settings), m_command(port, prompter, clock),
      m_watch(port, m_command,
              LinkWatch::Hooks{[this] { greet(); }, [this] { return m_holder != Holder::None; }})
{
    connect(&m_watch, &LinkWatch::connectedChanged, this, &TimingUnit::connectedChanged);
}

void TimingUnit::open()
{
    m_port.setPortNumber(m_settings.record().portNumber());
    m_port.open();
}

void TimingUnit::endStartup()
{
    m_starting = false;
    if (std::exchange(m_zeroHandicapKept, false) && m_port.isOpen())
        sendZeroHandicap();
}

void TimingUnit::greet()
{
    m_command.send("O");
    m_command.SendSignalPolarity(m_settings.record().InvertSignal);
    m_command.SendStagingMode(m_settings.record().PreStageStage);
}

void TimingUnit::sendZeroHandicap()
{
    if (m_starting) {
        m_zeroHandicapKept = !demoMode();
        return;
    }
    m_command.SendHandicap(0.0f, 0.0f);
}

bool TimingUnit::hold(Holder holder)
{
    if (m_holder != Holder::None && m_holder != holder)
        return false;
    m_holder = holder;
    return true;
}

void TimingUnit::release(Holder holder)
{
    if (m_holder == holder)
        m_holder = Holder::None;
}

void TimingUnit::followEntry()
{
    if (demoMode() || !m_port.isOpen() || m_port.devicePresent())
        return;
    m_watch.relink();
}

} // namespace halvex
