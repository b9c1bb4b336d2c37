#include "support/EventOperator.h"

#include "race/frmEliminations.h"
#include "race/frmQualifications.h"
#include "support/WindowRig.h"

#include <QComboBox>

#include <algorithm>

namespace halvex::test {

namespace {

// A pair left undecided is called again; an event that never ends is a fault, not a long run.
constexpr int kMostRaces = 1000;

template <typename Window> Window* opened(HalvexApp& app, QAction* menuItem)
{
    menuItem->trigger();
    return app.mainWindow().findChild<Window*>();
}

void showClass(RoundsWindow& window, int index)
{
    window.cmbClass->setCurrentIndex(index);
    Q_EMIT window.cmbClass->activated(index);
}

} // namespace

QString EventOperator::run()
{
    const std::vector<EventClass> classes = m_rounds.event().classes();
    auto* qualifications = opened<frmQualifications>(m_app, m_app.mainWindow().mnuQualifications);
    if (!qualifications)
        return QStringLiteral("Mode, Qualifications opened no window");
    const auto qualifyingDue = [this] {
        const std::vector<CalledPair> order = m_rounds.callOrder();
        return std::any_of(order.begin(), order.end(),
                           [](const CalledPair& p) { return p.stage == Stage::Qualifying; });
    };
    for (int round = 0; round < qualifyingRounds; ++round) {
        for (int i = 0; i < int(classes.size()); ++i) {
            const QString name = classes[size_t(i)].name;
            if (m_rounds.ladderStarted(name) || int(m_rounds.draws(name).size()) > round)
                continue;
            showClass(*qualifications, i);
            qualifications->cmdDrawRound->click();
            if (int(m_rounds.draws(name).size()) != round + 1)
                return QStringLiteral("Draw Round drew no round %1 of %2").arg(round + 1).arg(name);
        }
        if (QString failed = raceWhile(qualifyingDue, *qualifications); !failed.isEmpty())
            return failed;
    }
    qualifications->cmdClose->click();

    auto* eliminations = opened<frmEliminations>(m_app, m_app.mainWindow().mnuEliminations);
    if (!eliminations)
        return QStringLiteral("Mode, Eliminations opened no window");
    for (int i = 0; i < int(classes.size()); ++i) {
        const QString name = classes[size_t(i)].name;
        if (m_rounds.ladderStarted(name))
            continue;
        showClass(*eliminations, i);
        m_prompter.answers.enqueue(Answer::Yes);
        eliminations->cmdStartLadder->click();
        if (!m_rounds.ladderStarted(name))
            return QStringLiteral("Start Ladder started no ladder of ") + name;
    }
    QString failed = raceWhile([this] { return !m_rounds.callOrder().empty(); }, *eliminations);
    eliminations->cmdClose->click();
    return failed;
}

QString EventOperator::raceWhile(const std::function<bool()>& due, RoundsWindow& window)
{
    while (due()) {
        if (m_races == kMostRaces)
            return QStringLiteral("The event had not ended after %1 races").arg(kMostRaces);
        // A pair raced without a decision comes round again: Next Pair calls it once another
        // pair has been in the lanes, or leaves it there when nothing else waits.
        window.cmdNextPair->click();
        pressStartRace(m_app.mainWindow());
        frmDragStats* stats = m_app.statisticsWindow();
        if (!stats)
            return QStringLiteral("Race %1 showed no result").arg(m_races + 1);
        resultShown();
        stats->cmdOk->click();
        ++m_races;
        resultClosed();
    }
    return {};
}

} // namespace halvex::test
