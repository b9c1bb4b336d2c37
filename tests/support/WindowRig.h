#pragma once

#include "data/DragSettings.h"
#include "link/ModCommand.h"
#include "platform/Clock.h"
#include "platform/QtSerialPort.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "race/ModDragRacing.h"
#include "race/frmDragRacing.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>

#include <memory>

namespace halvex::test {

// The main race window over a temporary program folder, with a scripted prompter and either an
// in-memory port or the real serial port (for a pseudo-terminal peer).
class WindowRig
{
public:
    enum class Port
    {
        Memory,
        Serial
    };
    explicit WindowRig(Port kind = Port::Memory);
    ~WindowRig();

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    SystemClock clock;
    QueuedRandom random;
    MemorySettingsStore store;
    MemoryPort memoryPort;
    std::unique_ptr<QtSerialPort> serialPort;
    std::unique_ptr<Services> services;
    ModDragRacing g;
    std::unique_ptr<ModCommand> command;
    std::unique_ptr<frmDragRacing> window;
    DragSettings settings;

    SerialPort& port();
    QString folder() const { return dir.path(); }
    void writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    bool fileExists(const QString& name) const;
    // The settings, and racers, cars and classes lists, as an installed program has them.
    void writeSettings() const;
    void writeLists() const;

    frmDragRacing& start();
    // Starts an installed program whose last run saved this setup, then forgets what start-up
    // wrote and said.
    frmDragRacing& startWith(const WindowState& state);
    // Closes the start delay window through its "Get Ready" label as soon as it is shown.
    static void clickGetReadyWhenShown();
};

} // namespace halvex::test
