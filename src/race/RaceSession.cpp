#include "race/RaceSession.h"

#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/TimingUnit.h"
#include "platform/Failure.h"
#include "platform/InputBlocker.h"
#include "platform/Prompter.h"
#include "platform/Random.h"
#include "race/Credits.h"
#include "race/DemoRace.h"
#include "race/SetupModel.h"

namespace halvex {

RaceSession::RaceSession(TimingUnit& unit, SetupModel& setup, Settings& settings, RaceLog& log,
                         RaceStore& store, Credits& credits, Random& random, Prompter& prompter)
    : m_unit(unit), m_setupModel(setup), m_settings(settings), m_log(log), m_store(store),
      m_credits(credits), m_random(random), m_prompter(prompter)
{}

RaceSession::~RaceSession()
{
    quit();
}

void RaceSession::setState(State state)
{
    if (state == m_state)
        return;
    const bool wasShown = m_state == State::Shown;
    m_state = state;
    if (state == State::Idle)
        m_unit.release(TimingUnit::Holder::Race);
    Q_EMIT stateChanged(state);
    if (state == State::Shown || wasShown)
        Q_EMIT pendingChanged(state == State::Shown);
}

SetupField RaceSession::start()
{
    if (m_state != State::Idle)
        return SetupField::None;
    if (!m_following.isEmpty()) {
        m_prompter.message(m_following, {}, Buttons::Ok, Icon::Information);
        return SetupField::None;
    }
    m_setup = m_setupModel.setup();
    m_pairing = m_setupModel.pairing();
    setState(State::Checking);
    // A message box runs events: a quit while it is up has ended the race.
    const auto stillChecking = [this] { return m_state == State::Checking; };
    if (const auto problem = checkRaceSetup(m_setup, m_log.isFull(), m_pairing)) {
        if (!problem->text.isEmpty())
            m_prompter.message(problem->text, problem->title, problem->buttons);
        if (stillChecking())
            setState(State::Idle);
        return problem->focus;
    }
    try {
        if (m_settings.record().CoinBoxInstalled == 1 && !m_credits.takeCredit()) {
            m_prompter.message(kNoCreditsLeft);
            if (stillChecking())
                setState(State::Idle);
            return SetupField::None;
        }
        if (!stillChecking())
            return SetupField::None;
        m_unit.hold(TimingUnit::Holder::Race);
        if (!m_unit.demoMode())
            sendStartCommands();
    } catch (const Failure& f) {
        m_prompter.message(f.description());
        if (stillChecking())
            setState(State::Idle);
        return SetupField::None;
    }
    setState(State::Delay);
    Q_EMIT delayStarted();
    return SetupField::None;
}

void RaceSession::sendStartCommands()
{
    m_unit.followEntry();
    ModCommand& command = m_unit.command();
    command.sendUngated("O");
    if (!m_settings.record().PreStageStage) {
        command.send("GL21");
        command.send("GR21");
    }
}

void RaceSession::endDelay()
{
    if (m_state != State::Delay)
        return;
    if (m_unit.demoMode()) {
        m_random.reseed();
        halvex::runDemoRace(m_random, m_reply);
        showResult(m_reply);
        return;
    }
    try {
        ModCommand& command = m_unit.command();
        const int tree = m_setup.treeIndex;
        if (tree >= 0 && tree <= 4) {
            const bool handicap = isHandicapTree(tree);
            command.SendHandicap(handicap ? m_setup.dialInLeft.single() : 0.0f,
                                 handicap ? m_setup.dialInRight.single() : 0.0f);
            command.sendUngated(tree <= 2 ? "N" : "P");
        }
    } catch (const Failure& f) {
        m_prompter.message(f.description());
        setState(State::Idle);
        return;
    }
    awaitReply();
}

void RaceSession::awaitReply()
{
    setState(State::Awaiting);
    m_wait = new QObject(this);
    m_blocker = std::make_unique<InputBlocker>();
    m_unit.command().ReadRaceReplyLater(m_wait,
                                        [this](const ModCommand::RaceRead& r) { replyRead(r); });
}

void RaceSession::replyRead(const ModCommand::RaceRead& read)
{
    // The wait is inside its own call: it goes once that has returned.
    m_wait->deleteLater();
    m_blocker.reset();
    if (read.reply) {
        // A report that never comes leaves the last one as it was.
        m_reply = *read.reply;
        showResult(m_reply);
        return;
    }
    // The race is over when its message shows.
    setState(State::Idle);
    m_prompter.message(read.timedOut ? kTransmitProblem : read.failure);
}

void RaceSession::showResult(const RaceReply& reply)
{
    RaceResult result =
        computeRace(m_setup, reply, m_settings.record(), m_log.raceCounter() + 1, m_pairing);
    m_log.countRace();
    m_setupModel.takeLaneNames();
    // The pair has had its pass: running it again takes a rerun and Next Pair.
    if (m_pairing)
        m_setupModel.clearPairing();
    m_result = std::move(result);
    setState(State::Shown);
    // The winner light first, then the race kept, then the result shown.
    if (!m_result.winLight.isEmpty()) {
        try {
            m_unit.command().send(m_result.winLight);
        } catch (const Failure& f) {
            // A dark lamp is better than a lost race: the result stays.
            m_prompter.message(f.description());
        }
    }
    keep([this] {
        m_store.raceShown(m_result.left, m_result.right, {m_result.outcomes, m_result.pairing});
    });
    Q_EMIT resultReady(m_result);
}

bool RaceSession::keep(const std::function<void()>& write)
{
    try {
        write();
        return true;
    } catch (const Failure& f) {
        // Racing goes on without the store; the operator hears of it once a run.
        if (!std::exchange(m_storeFailed, true))
            Q_EMIT storeFailed(f.description());
        return false;
    }
}

void RaceSession::commit()
{
    if (m_state != State::Shown)
        return;
    m_log.append(m_result.left, m_result.right);
    keep([this] { m_store.raceCommitted(m_result.left, m_result.right); });
    setState(State::Idle);
}

void RaceSession::resetUnit()
{
    try {
        m_unit.command().send("O");
    } catch (const Failure& f) {
        m_prompter.message(f.description());
    }
}

void RaceSession::quit()
{
    switch (m_state) {
    case State::Idle:
        return;
    case State::Shown:
        commit();
        return;
    case State::Awaiting:
        // The race never ran to its end: no result, nothing logged.
        delete m_wait.data();
        m_blocker.reset();
        break;
    case State::Checking:
    case State::Delay:
        break;
    }
    setState(State::Idle);
}

bool RaceSession::restore(const RaceStore::Unfinished& run)
{
    const int races = m_log.restore(run.records);
    if (races == 0)
        return false;
    const std::vector<RaceRecord> taken(run.records.begin(), run.records.begin() + 2 * races);
    return keep([&] { m_store.racesRestored(taken); });
}

} // namespace halvex
