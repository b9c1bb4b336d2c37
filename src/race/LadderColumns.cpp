#include "race/LadderColumns.h"

#include <algorithm>
#include <bit>

namespace halvex {

namespace {

bool seated(const BracketPair& pair)
{
    return !pair.seats[0].racer.isEmpty() || !pair.seats[1].racer.isEmpty();
}

// A pair with a racer in it and no winner yet.
bool toRun(const BracketPair& pair)
{
    return seated(pair) && !pair.seats[0].winner && !pair.seats[1].winner;
}

int pairCount(const BracketSheet& sheet, int round)
{
    return int(sheet.rounds[std::size_t(round)].pairs.size());
}

} // namespace

std::vector<LadderColumn> ladderColumns(const BracketSheet& sheet, int pairRows, int roundColumns)
{
    const int rounds = int(sheet.rounds.size());
    if (rounds == 0 || pairRows < 1 || roundColumns < 1)
        return {};
    int widest = 0;
    for (int r = 0; r < rounds; ++r)
        widest = std::max(widest, pairCount(sheet, r));
    std::vector<LadderColumn> columns;
    if (widest <= pairRows && rounds <= roundColumns) {
        for (int r = 0; r < rounds; ++r)
            columns.push_back({r, 0, pairCount(sheet, r)});
        return columns;
    }
    // The round being run, and in it the next pair; with every pair decided, the last round with
    // racers in it (the final), and before any racer is drawn the first.
    int current = -1;
    int focus = 0;
    for (int r = 0; r < rounds && current < 0; ++r) {
        const auto& pairs = sheet.rounds[std::size_t(r)].pairs;
        const auto next = std::find_if(pairs.begin(), pairs.end(), toRun);
        if (next != pairs.end()) {
            current = r;
            focus = int(next - pairs.begin());
        }
    }
    for (int r = 0; r < rounds && current < 0; ++r) {
        const auto& pairs = sheet.rounds[std::size_t(rounds - 1 - r)].pairs;
        if (std::any_of(pairs.begin(), pairs.end(), seated))
            current = rounds - 1 - r;
    }
    current = std::max(current, 0);
    const int size = pairCount(sheet, current);
    const int block =
        size <= pairRows ? std::max(size, 1) : int(std::bit_floor(unsigned(pairRows)));
    const int start = focus / block * block;
    const int shown = std::min(roundColumns, rounds - current);
    int first = start;
    int end = start + block;
    for (int r = current; r < current + shown; ++r) {
        const int count = pairCount(sheet, r);
        const int from = std::min(first, std::max(count - 1, 0));
        columns.push_back({r, from, std::min(std::max(end, from + 1), count)});
        // A later round's pair takes its racers from two neighbouring pairs of the round before.
        first /= 2;
        end = (end + 1) / 2;
    }
    return columns;
}

} // namespace halvex
