#pragma once

#include "reports/GridModel.h"

namespace halvex {

class EventDatabase;

// Every pass of the event as a grid to save as a spreadsheet, one row per pass in the order they
// were raced: a race committed once shows its committed rows, a race only shown its shown rows,
// and races restored into a later run's log are not passes again.
// Singles are written in the fewest digits that read back as the same single.
GridModel eventPassesGrid(const EventDatabase& db);

} // namespace halvex
