#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace halvex {

class ModCommand;
class SerialPort;

// Keeps the link to the timing unit: notices when the unit's device goes away (the port reports
// it, or its entry no longer leads to a device) and, every two seconds, opens the port again
// without a message; once it is open the unit is set up again as at start-up. Nothing is done
// while the unit is held (a race from Start Race until its result is answered, a diagnostics
// poll, the settings window's port check) or in demo mode, where the unit is not used.
class LinkWatch final : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        // Sends the start-up's setting commands; throws halvex::Failure when one fails.
        std::function<void()> setUpUnit;
        // True while a race or a diagnostics poll owns the link.
        std::function<bool()> busy;
    };
    LinkWatch(SerialPort& port, ModCommand& command, Hooks hooks,
              std::chrono::milliseconds interval = std::chrono::seconds(2));

    // Takes the port's state as it is after start-up and begins watching.
    void start();
    bool connected() const { return m_connected; }
    // One look at the link, as the timer takes it.
    void check();
    // The open port's entry leads to another device now: that device is opened and set up.
    void relink();

Q_SIGNALS:
    void connectedChanged(bool connected);

private:
    void setConnected(bool connected);
    void lost();
    void reopen();

    SerialPort& m_port;
    ModCommand& m_command;
    Hooks m_hooks;
    QTimer m_timer;
    bool m_connected = false;
    bool m_started = false;
    // The port number and device the unit was lost on: while the number stays, only that
    // device is the unit again. A number's entry that vanished lets the number fall back to a
    // serial port of the machine, where no unit answers.
    int m_lostNumber = 0;
    QString m_lostDevice;
};

} // namespace halvex
