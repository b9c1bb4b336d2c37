#pragma once

#include "link/LinkWatch.h"
#include "link/ModCommand.h"

#include <QObject>

namespace halvex {

class Clock;
class Prompter;
class SerialPort;
class Settings;

// The one owner of the timing unit: its port, the start-up greeting and the tree's handicap,
// demo mode, who holds the unit (a race, the diagnostics poll or the settings window's port
// check) and whether it is connected, kept by the link watch inside it. Everything else asks it,
// never the port.
class TimingUnit final : public QObject
{
    Q_OBJECT
public:
    enum class Holder
    {
        None,
        Race,
        Diagnostics,
        PortCheck,
    };

    TimingUnit(SerialPort& port, Prompter& prompter, Clock& clock, Settings& settings);

    ModCommand& command() { return m_command; }
    SerialPort& port() { return m_port; }

    bool demoMode() const { return m_command.demoMode(); }
    void setDemoMode(bool demo) { m_command.setDemoMode(demo); }

    // Start-up, before the port is opened: the tree's zero handicap is kept until the greeting
    // has gone out.
    void beginStartup() { m_starting = true; }
    // The start-up's end: the kept handicap goes to an open port.
    void endStartup();
    // Opens the settings' port; throws halvex::Failure as the port does.
    void open();
    // The start-up's commands: "O", the signal polarity and the staging mode, each of which
    // throws halvex::Failure. Nothing is sent in demo mode.
    void greet();
    // The tree's zero handicap (a tree without one was chosen); reports its own failure.
    void sendZeroHandicap();

    // The unit is held from a race's start until its result is committed, while diagnostics
    // polls, and through the settings window's port check: the link watch leaves it alone then.
    bool hold(Holder holder);
    void release(Holder holder);
    Holder holder() const { return m_holder; }

    // Whether the unit's device is open and still the one its entry leads to.
    bool connected() const { return m_watch.connected(); }
    // Before a race's first command: a port whose entry now leads to another device (the unit
    // unplugged and plugged in again) is opened again on that device and the unit set up as at
    // start-up, without a message; the race then talks to the device the entry leads to now.
    void followEntry();
    // Starts watching the link, after start-up.
    void startWatching() { m_watch.start(); }
    LinkWatch& linkWatch() { return m_watch; }

Q_SIGNALS:
    void connectedChanged(bool connected);

private:
    SerialPort& m_port;
    Settings& m_settings;
    ModCommand m_command;
    LinkWatch m_watch;
    Holder m_holder = Holder::None;
    bool m_starting = false;
    bool m_zeroHandicapKept = false;
};

} // namespace halvex
