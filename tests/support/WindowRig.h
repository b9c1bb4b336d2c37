#pragma once

#include "app/HalvexApp.h"
#include "data/DragSettings.h"
#include "data/RaceLog.h"
#include "link/ModCommand.h"
#include "link/QtSerialPort.h"
#include "platform/SettingsStore.h"
#include "race/Colours.h"
#include "race/LabelColour.h"
#include "race/RaceSession.h"
#include "race/WindowState.h"
#include "race/frmDragRacing.h"
#include "reports/frmDragStats.h"
#include "support/FakeServices.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedPrompter.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace halvex::test {

// The program over a temporary program folder, built by the same application object as the
// program itself, with a scripted prompter and either an in-memory port or the real serial port
// (for a pseudo-terminal peer).
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
    RecordingSurface printer;
    // The surface the program prints on when not the recording one (a PDF file, the default
    // printer); set before start.
    PrintSurface* printSurface = nullptr;
    // Printing notices shown; each is closed by a key press as soon as it appears.
    int printNotices = 0;
    MemoryPort memoryPort;
    RecordedSound sound;
    std::unique_ptr<QtSerialPort> serialPort;
    std::unique_ptr<HalvexApp> app;
    DragSettings settings;
    QTimer noticeCloser;

    SerialPort& port();
    Services services();
    QString folder() const { return dir.path(); }
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // The settings, and racers, cars and classes lists, as an installed program has them.
    void writeSettings() const;
    void writeLists() const;

    // Builds the program and runs its start-up.
    frmDragRacing& start();
    // The same as the program starts: the window shown, then what start-up asks (the tip of the
    // day only when asked for).
    frmDragRacing& startShown(bool tips = false);
    // Starts an installed program whose last run saved this setup, then forgets what start-up
    // wrote and said.
    frmDragRacing& startWith(const WindowStateRecord& state);
    frmDragRacing& window() { return app->mainWindow(); }
    frmDragStats* stats() { return app->statisticsWindow(); }
    RaceLog& log() { return app->raceLog(); }
    // A Pro-Tree race of Bob Diaz (Red Comet) against Carla (Blue) in Stock.
    static WindowStateRecord proTreeSetup(bool demo = false);
    // Closes the start delay window through its "Get Ready" label as soon as it is shown.
    static void clickGetReadyWhenShown();
};

// Answers the next modal window of the given object name (any, when null) from the event loop as
// soon as it is shown, so that no test blocks on it.
void whenModalShown(const char* name, std::function<void(QWidget*)> answer);

// Presses Start Race, the start delay ended by its "Get Ready" label, and waits until the race
// has shown its result or ended without one.
inline void pressStartRace(frmDragRacing& w)
{
    WindowRig::clickGetReadyWhenShown();
    w.cmdRace->click();
    QVERIFY(QTest::qWaitFor([&w] { return !w.raceRunning(); }, 30000));
}

// Left: RT 0.0500, finish 1.0500 (ET 1.0000), trap 1.0400; right: RT 0.0400, finish 1.0800
// (ET 1.0400), trap 1.0700. Totals 1.05 and 1.08: the left lane wins by 0.0300.
inline const QList<qint32> kLeftWins = {0,    0,     500,   400,   2500,  2400, 4500, 4600, 8000,
                                        8200, 10400, 10700, 10500, 10800, 0,    0,    0,    0};

} // namespace halvex::test
