#pragma once

#include "event/EventDatabase.h"
#include "event/EventRaceStore.h"
#include "event/EventRounds.h"

#include <QSqlQuery>
#include <QStringList>

#include <array>
#include <bit>

namespace halvex::test {

// Everything an event holds, as the windows and a reloaded event derive it: each class's passes
// (their elapsed times by their bits) and corrections by stage, and its ladder.
inline QString eventDigest(const EventRounds& rounds)
{
    QStringList lines;
    const auto bits = [](float f) { return QString::number(std::bit_cast<quint32>(f), 16); };
    for (const EventClass& c : rounds.event().classes()) {
        for (const Stage stage : {Stage::Qualifying, Stage::Eliminations}) {
            for (const Pass& p : rounds.passes(c.name, stage))
                lines.append(QStringLiteral("pass %1 %2/%3 %4-%5 %6 %7 %8-%9")
                                 .arg(p.seq)
                                 .arg(p.round)
                                 .arg(p.pair)
                                 .arg(p.left.entry)
                                 .arg(p.right.entry)
                                 .arg(int(p.decision.winner))
                                 .arg(p.byHand)
                                 .arg(bits(p.left.elapsedTime), bits(p.right.elapsedTime)));
            for (const Correction& k : rounds.corrections(c.name, stage))
                lines.append(
                    QStringLiteral("fix %1 %2 %3").arg(k.seq).arg(int(k.kind)).arg(k.pass));
        }
        const Ladder ladder = rounds.ladder(c.name);
        for (const auto& round : ladder.rounds)
            for (const LadderPair& p : round)
                lines.append(
                    QStringLiteral("pair %1-%2 %3").arg(p.left).arg(p.right).arg(p.winner));
        lines.append(QStringLiteral("%1 won by %2").arg(c.name).arg(ladder.winner));
    }
    return lines.join(u'\n');
}

// How many pass rows, and races, an event file holds in each state: "Committed 24 12|Shown 24 12"
// for twelve races each written once as shown and once as committed; and the races whose rows
// name more than one pair.
inline QString passCounts(const QString& path)
{
    const EventDatabase db(path);
    QSqlQuery q = db.run(QStringLiteral("SELECT state, COUNT(*), COUNT(DISTINCT heat) FROM pass "
                                        "GROUP BY state ORDER BY state"));
    QStringList counts;
    while (q.next())
        counts << QStringLiteral("%1 %2 %3")
                      .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    // A race's rows, shown and committed, name one pair.
    const int mixed = db.value(QStringLiteral("SELECT COUNT(*) FROM (SELECT heat FROM pass GROUP "
                                              "BY heat HAVING COUNT(DISTINCT stage || '/' || "
                                              "round_no || '/' || pair_no) > 1) m"))
                          .toInt();
    if (mixed > 0)
        counts << QStringLiteral("%1 races of two pairs").arg(mixed);
    return counts.join(u'|');
}

// A called pair raced as the session races it: decided, shown and committed through the store.
inline void raceCalledPair(EventRaceStore& store, const EventRounds& rounds, const CalledPair& call,
                           std::array<float, 2> rt, std::array<float, 2> et,
                           std::array<float, 2> speed = {})
{
    const auto [setup, pairing] = rounds.setupFor(call, false);
    RaceRecord r[2];
    for (size_t i = 0; i < 2; ++i) {
        r[i].ClassName = setup.className;
        r[i].Lane = i == 0 ? QStringLiteral("L") : QStringLiteral("R");
        r[i].Racer = pairing.racers[i];
        r[i].Car = i == 0 ? setup.carLeft : setup.carRight;
        r[i].ReactionTime = rt[i];
        r[i].ElapsedTime = et[i];
        r[i].Speed = speed[i];
    }
    WinnerDecision d = decideWinner(setup.treeIndex, r[0], r[1]);
    applyEventRules(d, r[0], r[1], pairing);
    if (d.winner != Lane::None)
        r[d.winner == Lane::Left ? 0 : 1].Result = QStringLiteral("Win");
    store.raceShown(
        r[0], r[1],
        {{outcomeWord(d, r[0], 0, pairing), outcomeWord(d, r[1], 1, pairing)}, pairing});
    store.raceCommitted(r[0], r[1]);
}

} // namespace halvex::test
