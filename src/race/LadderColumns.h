#pragma once

#include "reports/BracketSheet.h"

#include <vector>

namespace halvex {

// One round of a bracket as the board draws it: the pairs [firstPair, endPair) of that round.
struct LadderColumn
{
    int round = 0;
    int firstPair = 0;
    int endPair = 0;

    bool operator==(const LadderColumn&) const = default;
};

// The part of a bracket the board has room for, given how many pairs fit one above another and
// how many rounds side by side. The whole bracket when it fits; else the round being run (the
// first with a pair still to decide) and as many rounds after it as fit. When that round alone
// has more pairs than fit, it shows the block of neighbouring pairs that holds the next pair to
// run (a power of two, so that each later round shows exactly the pairs those feed).
std::vector<LadderColumn> ladderColumns(const BracketSheet& sheet, int pairRows, int roundColumns);

} // namespace halvex
