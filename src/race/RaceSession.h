#pragma once

#include "link/ReplyParser.h"
#include "race/RaceResult.h"
#include "race/RaceSetup.h"

#include <QObject>

#include <functional>

namespace halvex {

class Credits;
class ModCommand;
class Prompter;
class Random;
class RaceLog;
class Settings;

// One race at a time, from Start Race to the commit: the setup checks, the commands and the start
// delay, the wait for the unit's report (or the demo race), the computation and the winner
// decision, the winner light, and the commit to the race log exactly once when the result's
// window closes. While a result waits for its commit, no race can start.
//
// Failures follow the Start Race pattern: each is shown and the click ends there, except the
// winner light's, which is shown while the result stays (a dark lamp is better than a lost race).
class RaceSession final : public QObject
{
    Q_OBJECT
public:
    RaceSession(ModCommand& command, Settings& settings, RaceLog& log, Credits& credits,
                Random& random, Prompter& prompter);

    // Holds the racers for the start delay; returns when it has run out. The window layer shows
    // its window here; without one the race goes on at once.
    void setStartDelay(std::function<void()> startDelay) { m_startDelay = std::move(startDelay); }

    // Start Race. Returns the control to hand the focus back to when a check stopped the race.
    SetupField start(const RaceSetup& setup);

    // False after a race whose report never came.
    bool raceOk() const { return m_raceOk; }
    // A result is shown and not yet committed.
    bool resultPending() const { return m_pending; }
    // From Start Race until the race's result is committed: the race owns the link.
    bool isBusy() const { return m_running || m_pending; }
    // The race computed last.
    const RaceResult& result() const { return m_result; }

    // The race being set up: the main window tells every change of its setup, so that others
    // can show the next pairing without reading its controls.
    void setUpcoming(const RaceSetup& setup);
    const RaceSetup& upcoming() const { return m_upcoming; }

    // The result's window has closed, whichever way: commits the race once.
    void commit();
    // The result's OK: the unit is reset with "O", outside demo mode.
    void resetUnit();

Q_SIGNALS:
    void resultReady(const halvex::RaceResult& result);
    void pendingChanged(bool pending);
    void upcomingChanged(const halvex::RaceSetup& setup);

private:
    void runRace(const RaceSetup& setup);
    void runDemoRace();
    void showResult(const RaceSetup& setup);

    ModCommand& m_command;
    Settings& m_settings;
    RaceLog& m_log;
    Credits& m_credits;
    Random& m_random;
    Prompter& m_prompter;
    std::function<void()> m_startDelay;
    RaceReply m_reply{};
    RaceResult m_result;
    RaceSetup m_upcoming;
    bool m_raceOk = false;
    bool m_pending = false;
    bool m_running = false;
};

} // namespace halvex
