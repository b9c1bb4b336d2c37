#pragma once

#include "reports/BracketSheet.h"

namespace halvex::test {

// A ladder of the given field, its first pairs (round by round) won by the better seed.
inline BracketSheet ladderOf(int entries, int decided)
{
    BracketSheet sheet;
    for (int pairs = entries / 2; pairs >= 1; pairs /= 2)
        sheet.rounds.push_back({pairs == 1 ? QStringLiteral("Final")
                                           : QStringLiteral("E%1").arg(sheet.rounds.size() + 1),
                                std::vector<BracketPair>(std::size_t(pairs))});
    for (int i = 0; i < entries; ++i)
        sheet.rounds[0].pairs[std::size_t(i / 2)].seats[std::size_t(i % 2)].racer =
            QStringLiteral("Racer %1").arg(i + 1);
    for (std::size_t r = 0; r < sheet.rounds.size(); ++r) {
        for (std::size_t p = 0; p < sheet.rounds[r].pairs.size() && decided > 0; ++p, --decided) {
            auto& seats = sheet.rounds[r].pairs[p].seats;
            seats[0].winner = true;
            seats[0].elapsedTime = seats[1].elapsedTime = QStringLiteral("7.512");
            if (r + 1 < sheet.rounds.size())
                sheet.rounds[r + 1].pairs[p / 2].seats[p % 2].racer = seats[0].racer;
        }
    }
    return sheet;
}

} // namespace halvex::test
