// Next Pair in the Qualifications window of a 48-car event (three classes of 16, two qualifying
// rounds drawn, the first run): from the click to the main window showing the pair's racers,
// including the call order worked out again and the rounds window redrawn.
#include "event/Event.h"
#include "event/RoundControl.h"
#include "race/frmQualifications.h"
#include "support/WindowRig.h"

#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace halvex;
using namespace halvex::test;

namespace {

QString makeEvent(const QString& folder)
{
    const QString path = folder + QStringLiteral("/Club Night.sqlite");
    std::vector<EventClass> classes;
    for (const char* name : {"Stock", "Modified", "Pro"})
        classes.push_back(EventClass{QString::fromLatin1(name), 0, 0, 16, LadderKind::Fixed});
    auto event = Event::create(path, QStringLiteral("Club Night"), QDate(2026, 12, 6), classes);
    EventRounds rounds(*event);
    QueuedRandom random;
    for (const EventClass& c : classes) {
        std::vector<EntryId> ids;
        for (int n = 1; n <= 16; ++n)
            ids.push_back(event
                              ->addEntry(Entry{0, c.name, QStringLiteral("Racer %1").arg(n),
                                               QStringLiteral("Car"), QString::number(n), 0})
                              .id);
        rounds.drawRound(c.name, ids, random);
        rounds.drawRound(c.name, ids, random);
    }
    for (const CalledPair& p : rounds.callOrder())
        if (p.round == 0)
            rounds.enterByHand(p, HandTimes{{0.5f, 0.6f}, {7.1f, 7.2f}});
    return path;
}

void NextPairToTheSetupShown(benchmark::State& state)
{
    WindowRig rig;
    rig.writeSettings();
    rig.writeLists();
    frmDragRacing& main = rig.start();
    RoundControl control(rig.app->setup());
    control.open(makeEvent(rig.folder()));
    frmQualifications window(control, rig.prompter, rig.printer, rig.random);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.cmdNextPair->click();
        // The main window and the rounds window repaint what changed.
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(main.cmbRacers[0]->currentText());
    }
    // Each click calls the pair after the one in the lanes: the first two of round 2 in turn.
    if (!main.cmbRacers[0]->currentText().startsWith(QStringLiteral("Racer ")) ||
        !rig.prompter.texts().isEmpty())
        state.SkipWithError("the pair did not reach the main window");
}

} // namespace

BENCHMARK(NextPairToTheSetupShown)->Unit(benchmark::kMillisecond);
