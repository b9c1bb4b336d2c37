#pragma once

#include "data/EventPairing.h"
#include "event/Event.h"
#include "event/Ladder.h"
#include "event/Pass.h"
#include "event/Qualifying.h"
#include "race/RaceSetup.h"
#include "reports/BracketSheet.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace halvex {

class Random;

// A pair an event round calls to the lanes: the entries per lane (kNoEntry: the lane stays
// empty, for a bye, an odd qualifier or the opponent of a no-show).
struct CalledPair
{
    QString className;
    Stage stage = Stage::Qualifying;
    int round = 0;
    int pair = 0;
    QString roundName;
    std::array<EntryId, 2> entries{};
    bool bye = false; // the empty lane was never drawn (rather than scratched)

    bool operator==(const CalledPair&) const = default;
};

// A pass typed by the operator from the judges' times, for a pair the unit could not time.
struct HandTimes
{
    std::array<float, 2> reactionTimes{};
    std::array<float, 2> elapsedTimes{}; // 0: the lane did not finish
};

// The rounds of an event as its database holds them: the qualifying rounds' draws, every pass
// of every round, the corrections, and the ladders' seedings; each question is answered afresh
// from the database, so that every window, and every station, sees the same event. Each change is
// one transaction and throws halvex::Failure with what the operator is told.
class EventRounds
{
public:
    explicit EventRounds(Event& event, QString station = QStringLiteral("tower"));
    // Passes entered by hand from now on are raced under this control epoch (0: not shared).
    void setEpoch(int epoch) { m_epoch = epoch; }

    Event& event() { return m_event; }
    const Event& event() const { return m_event; }
    std::optional<EventClass> eventClass(const QString& className) const;
    std::vector<Entry> entriesOf(const QString& className) const;
    const Entry* entry(const std::vector<Entry>& entries, EntryId id) const;

    // Qualifying: the rounds drawn so far, each a list of pairs (left, right; an odd one runs
    // alone), and a new round drawn from the chosen entries, shuffled into pairs.
    std::vector<std::vector<std::array<EntryId, 2>>> draws(const QString& className) const;
    int drawRound(const QString& className, std::vector<EntryId> chosen, Random& random);

    std::vector<Pass> passes(const QString& className, Stage stage) const;
    std::vector<Correction> corrections(const QString& className, Stage stage) const;
    QualifyingOrder qualifying(const QString& className) const;

    // Eliminations: the seeding a ladder is drawn from (the qualifying order's field, or the entry
    // order without qualifying), fixed when the ladder starts.
    bool ladderStarted(const QString& className) const;
    std::vector<EntryId> seeding(const QString& className) const;
    void startLadder(const QString& className);
    Ladder ladder(const QString& className) const;

    // The class's ladder as drawn on paper and on the board, and its results so far.
    BracketSheet bracket(const QString& className) const;
    std::vector<ClassStanding> results(const QString& className) const;

    // The pairs still to run of a class's stage, in running order.
    std::vector<CalledPair> openPairs(const QString& className, Stage stage) const;
    // Across every class: qualifying while a class's ladder has not started, then its ladder;
    // earlier rounds before later ones, classes in the event's order within a round. The first is
    // on deck, the second in the hole.
    std::vector<CalledPair> callOrder() const;
    // The call order without the pair in the lanes (a pairing the setup holds), which is racing
    // rather than waiting.
    std::vector<CalledPair> waiting(const std::optional<EventPairing>& inTheLanes) const;

    // The pair as the race setup takes it: class, tree, racers, cars and the index or dial-ins,
    // its lanes swapped when the operator asks; and the pairing that goes with it.
    std::pair<RaceSetup, EventPairing> setupFor(const CalledPair& pair, bool swapLanes) const;
    // "Pro Stock E2: Ann Lee vs Bob Cole"
    QString describe(const CalledPair& pair) const;

    // An entry's dial-in for its later pairs. Refused while the entry stands in a pair still to
    // run (drawn, or paired on the ladder): that pair was set up with the dial-in it has.
    void changeDialIn(EntryId id, float dialIn);

    // Corrections are recorded with their reason, after every pass before them.
    void correct(const QString& className, Stage stage, Correction correction);
    // A pass entered by hand for the pair; decided as a timed one would be.
    void enterByHand(const CalledPair& pair, const HandTimes& times);

private:
    std::vector<Pass> readPasses(const QString& className, Stage stage) const;

    Event& m_event;
    QString m_station;
    int m_epoch = 0;
};

} // namespace halvex
