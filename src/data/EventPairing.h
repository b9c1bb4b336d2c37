#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace halvex {

// A pair called from an event round (a qualifying or an elimination round) into the race setup.
// It goes with the setup for as long as the setup races the class and the racers it called, in
// either lane: a race the operator sets up otherwise is free racing.
struct EventPairing
{
    enum class Stage
    {
        Qualifying,
        Eliminations,
    };

    QString eventName;
    QString className;
    Stage stage = Stage::Qualifying;
    int round = 0;     // 0-based within the stage
    int pair = 0;      // 0-based within the round
    QString roundName; // "Q1", "E2", "Final"
    // Per lane, left first: the entry's key and its racer; key 0 and no racer is an empty lane.
    std::array<qint64, 2> entries{};
    std::array<QString, 2> racers;
    // The solo lane's racer advances on a bye (no opponent was drawn) rather than a no-show.
    bool bye = false;

    bool solo() const { return entries[0] == 0 || entries[1] == 0; }
    bool operator==(const EventPairing&) const = default;
};

} // namespace halvex
