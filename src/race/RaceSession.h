#pragma once

#include "data/RaceStore.h"
#include "link/ModCommand.h"
#include "link/ReplyParser.h"
#include "race/RaceResult.h"
#include "race/RaceSetup.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace halvex {

class Credits;
class InputBlocker;
class Prompter;
class Random;
class RaceLog;
class Settings;
class SetupModel;
class TimingUnit;

// One race at a time, from Start Race to the commit, as a machine of states that each end by
// returning to the event loop:
//
//   Idle --start--> Checking --checks passed--> Delay --endDelay--> Awaiting --reply--> Shown
//   Shown --commit--> Idle
//
// Checking takes the setup, its checks and the credit; on the way to Delay the unit gets "O" (and
// the lane lights in Pre-Stage/Start staging). The start delay's window reports its end with
// endDelay; the unit then gets the handicap and the tree, and the reply is read as it arrives
// while every input of the operator is dropped. The result is computed and decided, the winner
// light sent, the race kept by the store and shown; closing its window commits it to the race log
// exactly once. Demo mode goes from Delay straight to Shown with simulated times. A check that
// fails, a failing command or a reply that never comes returns to Idle with its message; quit
// ends any state, committing a race on screen and logging none that did not run.
class RaceSession final : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Idle,
        Checking,
        Delay,
        Awaiting,
        Shown,
    };
    Q_ENUM(State)

    RaceSession(TimingUnit& unit, SetupModel& setup, Settings& settings, RaceLog& log,
                RaceStore& store, Credits& credits, Random& random, Prompter& prompter);
    ~RaceSession() override;
    Q_DISABLE_COPY_MOVE(RaceSession)

    State state() const { return m_state; }

    // Start Race with the setup the model holds. Returns the control to hand the focus back to
    // when a check stopped the race.
    SetupField start();
    // A station that only follows a shared event starts no race: Start Race tells `why` (empty:
    // races start as always).
    void setFollowing(const QString& why) { m_following = why; }
    // The start delay has run out (or "Get Ready" was clicked).
    void endDelay();
    // The result's window has closed, whichever way: commits the race once.
    void commit();
    // The result's OK: the unit is reset with "O", outside demo mode.
    void resetUnit();
    // The program quits.
    void quit();

    // The race computed last.
    const RaceResult& result() const { return m_result; }

    // The races of an unfinished run go back into the log (as many as it has room for) and into
    // the store. True when races were taken and the store keeps them: the unfinished run may then
    // be marked closed.
    bool restore(const RaceStore::Unfinished& run);

Q_SIGNALS:
    void stateChanged(halvex::RaceSession::State state);
    // The start delay begins: its window opens and reports back with endDelay.
    void delayStarted();
    void resultReady(const halvex::RaceResult& result);
    void pendingChanged(bool pending);
    // The store failed for the first time in this run; later failures are not told again.
    void storeFailed(const QString& description);

private:
    void setState(State state);
    void sendStartCommands();
    void awaitReply();
    void replyRead(const ModCommand::RaceRead& read);
    void showResult(const RaceReply& reply);
    bool keep(const std::function<void()>& write);
    void endRace();

    TimingUnit& m_unit;
    SetupModel& m_setupModel;
    Settings& m_settings;
    RaceLog& m_log;
    RaceStore& m_store;
    Credits& m_credits;
    Random& m_random;
    Prompter& m_prompter;
    State m_state = State::Idle;
    QString m_following;
    RaceSetup m_setup;                     // the setup the race started with
    std::optional<EventPairing> m_pairing; // the event round's pair it races, if any
    RaceReply m_reply{};
    RaceResult m_result;
    bool m_storeFailed = false;
    // While the reply is awaited: the wait lives in it, and the operator's input is dropped.
    QPointer<QObject> m_wait;
    std::unique_ptr<InputBlocker> m_blocker;
};

} // namespace halvex
