#include "race/RaceSession.h"

#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/Random.h"
#include "race/Credits.h"
#include "race/DemoRace.h"

#include <QScopeGuard>

namespace halvex {

RaceSession::RaceSession(ModCommand& command, Settings& settings, RaceLog& log, Credits& credits,
                         Random& random, Prompter& prompter)
    : m_command(command), m_settings(settings), m_log(log), m_credits(credits), m_random(random),
      m_prompter(prompter)
{}

SetupField RaceSession::start(const RaceSetup& setup)
{
    m_raceOk = true;
    if (m_pending || m_running)
        return SetupField::None;
    m_running = true;
    const auto ended = qScopeGuard([this] { m_running = false; });
    try {
        if (const auto problem = checkRaceSetup(setup, m_log.isFull())) {
            if (!problem->text.isEmpty())
                m_prompter.message(problem->text, problem->title, problem->buttons);
            return problem->focus;
        }
        if (m_settings.record().CoinBoxInstalled == 1 && !m_credits.takeCredit()) {
            m_prompter.message(kNoCreditsLeft);
            return SetupField::None;
        }
        if (m_command.demoMode())
            runDemoRace();
        else
            runRace(setup);
        if (m_raceOk)
            showResult(setup);
    } catch (const Failure& f) {
        m_prompter.message(f.description());
    }
    return SetupField::None;
}

void RaceSession::runRace(const RaceSetup& setup)
{
    m_command.sendUngated("O");
    if (!m_settings.record().PreStageStage) {
        m_command.send("GL21");
        m_command.send("GR21");
    }
    if (m_startDelay)
        m_startDelay();

    const int tree = setup.treeIndex;
    if (tree >= 0 && tree <= 4) {
        const QString zero = QStringLiteral("0.000");
        const bool handicap = isHandicapTree(tree);
        m_command.SendHandicap(handicap ? setup.dialInLeft : zero,
                               handicap ? setup.dialInRight : zero);
        m_command.sendUngated(tree <= 2 ? "N" : "P");
    }
    // A report that never comes leaves the last one as it was.
    if (const auto reply = m_command.ReadRaceReply())
        m_reply = *reply;
    else
        m_raceOk = false;
}

void RaceSession::runDemoRace()
{
    if (m_startDelay)
        m_startDelay();
    m_random.reseed();
    halvex::runDemoRace(m_random, m_reply);
}

void RaceSession::showResult(const RaceSetup& setup)
{
    RaceResult result = computeRace(setup, m_reply, m_settings.record(), m_log.raceCounter() + 1);
    m_log.writeInProgress(result.left, result.right);
    m_log.countRace();
    m_result = std::move(result);
    m_pending = true;
    Q_EMIT pendingChanged(true);
    if (!m_result.winLight.isEmpty()) {
        try {
            m_command.send(m_result.winLight);
        } catch (const Failure& f) {
            m_prompter.message(f.description());
        }
    }
    Q_EMIT resultReady(m_result);
}

void RaceSession::commit()
{
    if (!m_pending)
        return;
    m_pending = false;
    // Written again where the log stands now: a log cleared while the result was on screen
    // takes this race as its first.
    m_log.writeInProgress(m_result.left, m_result.right);
    m_log.commit();
    Q_EMIT pendingChanged(false);
}

void RaceSession::setUpcoming(const RaceSetup& setup)
{
    if (setup == m_upcoming)
        return;
    m_upcoming = setup;
    Q_EMIT upcomingChanged(m_upcoming);
}

void RaceSession::resetUnit()
{
    try {
        m_command.send("O");
    } catch (const Failure& f) {
        m_prompter.message(f.description());
    }
}

} // namespace halvex
