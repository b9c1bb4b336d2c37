#pragma once

#include "reports/BracketSheet.h"
#include "reports/GridExport.h"
#include "reports/GridModel.h"

#include <QString>

#include <span>

namespace halvex {

// The bracket as a grid, rounds as columns: each round takes five, titled with its name, "Car",
// "ET", "RT" and "Win" (a "W" beside the winner). A first-round pair takes three rows, its two
// seats and below them its note; a later pair sits level with the middle of the pairs it takes
// its racers from, so the grid reads as the bracket. A last column holds the class's winner.
GridModel bracketGrid(const BracketSheet& sheet);

// The class's results, one row per standing: "Place", "Car", "Racer", "Round", "Best ET" and
// "Best RT" (three decimals, empty without a counting pass).
GridModel classResultsGrid(std::span<const ClassStanding> standings);

// The grid written to the file in the format (GridExport.h: the worksheet, the workbook or
// comma-separated values), replacing it atomically; the caller adds the suffix
// (withExportSuffix). Throws halvex::Failure with the reason for the operator.
void exportBracket(const QString& path, ExportFormat format, const BracketSheet& sheet);
void exportClassResults(const QString& path, ExportFormat format,
                        std::span<const ClassStanding> standings);

} // namespace halvex
