#pragma once

#include "platform/Services.h"

#include <QPointer>

class QWidget;

#include <memory>

namespace halvex {

class Credits;
class frmDragRacing;
class frmDragStats;
class LinkWatch;
class frmScoreboard;
class ModCommand;
class RaceLog;
class RaceSession;
class Settings;
class SetupModel;
class WindowState;

// The services the program itself runs on: message boxes, the serial port, the clock, random
// numbers, the per-user store and the default printer, over the program folder.
class PlatformServices
{
public:
    PlatformServices();
    ~PlatformServices();
    Q_DISABLE_COPY_MOVE(PlatformServices)
    Services services();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// The one wiring point of a run: builds the core objects (settings, race log, window state,
// command module, race session) and the main window over the given services, and connects what
// follows what. The program and the window tests both build it; a new service or core object is
// added here and nowhere else.
class HalvexApp
{
public:
    explicit HalvexApp(Services services);
    ~HalvexApp();
    Q_DISABLE_COPY_MOVE(HalvexApp)

    // Loads the main window (the start-up sequence).
    void load();
    // Loads and shows it; once it has painted, connects the timing unit, offers the races of a
    // run that ended without quitting, then shows the tip of the day.
    void start();
    // The start-up's questions and tip are over.
    bool startupFinished() const;
    // Quits as File, Exit does, without asking anything (the program was told to end).
    void quitWithoutAsking();

    frmDragRacing& mainWindow();
    // Shows the shared help window. Opened from a modal window (the settings window's Help), it
    // belongs to that window, which therefore does not block it, and closes with it.
    void showHelp(QWidget* owner = nullptr);
    // The statistics window of the race on screen, if any.
    frmDragStats* statisticsWindow() const;
    // The scoreboard, while it is open.
    frmScoreboard* scoreboardWindow() const;
    Services& services();
    Settings& settings();
    Credits& credits();
    RaceLog& raceLog();
    WindowState& windowState();
    ModCommand& command();
    SetupModel& setup();
    RaceSession& session();
    LinkWatch& linkWatch();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace halvex
