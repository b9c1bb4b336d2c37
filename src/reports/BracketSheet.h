#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace halvex {

// One seat of a drawn pair: who sits there and what their standing pass of the pair showed.
// Texts are as the bracket prints them; an empty racer is an empty seat (a bye).
struct BracketSeat
{
    QString racer;
    QString carNumber;
    QString elapsedTime;  // "7.512", "DNF", "RED LIGHT", or empty before the pair has run
    QString reactionTime; // "0.512" or empty
    bool winner = false;
};

// A pair of one round: its two seats (the better seed first, the lane it takes) and what the
// bracket notes beside it ("Bye", "Scratch", "Override", "Rerun", "By hand").
struct BracketPair
{
    std::array<BracketSeat, 2> seats;
    QString note;
};

struct BracketRound
{
    QString name; // "E1", "E2", ..., "Final"
    std::vector<BracketPair> pairs;
};

// A class's ladder as drawn on paper, on the scoreboard and in an export: rounds as columns,
// the first round's pairs top to bottom in ladder order, each later pair between the two it
// takes its racers from.
struct BracketSheet
{
    QString eventName;
    QString className;
    std::vector<BracketRound> rounds;
    QString winner; // the final's winner, once decided
    // Each pair's winner goes on to pair k / 2 of the next round, in seat k % 2 (a fixed
    // ladder), so a printout joins them by lines; false when the ladder is paired anew each round.
    bool joined = true;
};

// One entry's line of a class's results (event/EventBracket.h, classResults), best place first.
struct ClassStanding
{
    qint64 entry = 0; // the entry's key (EntryId)
    int place = 0;    // shared by entries that went out in the same round
    QString racer;
    QString carNumber;
    QString round; // the last round reached: "Final", "E2", ...; "Q" not in the field
    std::optional<float> bestElapsedTime; // none: no counting pass
    std::optional<float> bestReactionTime;
};

} // namespace halvex
