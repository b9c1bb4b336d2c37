#include "race/LadderColumns.h"

#include <algorithm>
#include <bit>

namespace halvex {

namespace {

// A pair with a racer in it and no winner yet.
bool toRun(const BracketPair& pair)
{
    const auto& [a, b] = pair.seats;
    return !a.winner && !b.winner && (!a.racer.isEmpty() || !b.racer.isEmpty());
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
    // The round being run, and in it the next pair; with every pair decided, the final.
    int current = rounds - 1;
    int focus = 0;
    for (int r = 0; r < rounds; ++r) {
        const auto& pairs = sheet.rounds[std::size_t(r)].pairs;
        const auto next = std::find_if(pairs.begin(), pairs.end(), toRun);
        if (next != pairs.end()) {
            current = r;
            focus = int(next - pairs.begin());
            break;
        }
    }
    const int size = pairCount(sheet, current);
    const int block =
        size <= pairRows ? std::max(size, 1) : int(std::bit_floor(unsigned(pairRows)));
    const int start = focus / block * block;
    const int shown = std::min(roundColumns, rounds - current);
    int first = start;
    int end = start + block;
    for (int r = current; r < current + shown; ++r) {
        const int size = pairCount(sheet, r);
        const int from = std::min(first, std::max(size - 1, 0));
        columns.push_back({r, from, std::min(std::max(end, from + 1), size)});
        // A later round's pair takes its racers from two neighbouring pairs of the round before.
        first /= 2;
        end = (end + 1) / 2;
    }
    return columns;
}

} // namespace halvex
