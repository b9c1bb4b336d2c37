#pragma once

#include "event/EventRaceStore.h"
#include "event/EventRounds.h"

#include <array>

namespace halvex::test {

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
