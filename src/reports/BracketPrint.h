#pragma once

#include "reports/BracketSheet.h"

#include <QString>

#include <span>

namespace halvex {

class PrintSurface;

// The first-round pairs one page of a bracket holds: a 32-car ladder is one page, a 64-car one
// two (the top half of the ladder, then the bottom half with the final and the winner).
inline constexpr int kBracketPairsPerPage = 16;

// The pages printBracket takes.
int bracketPages(const BracketSheet& sheet);

// The bracket as one job, landscape where the surface can turn: the event and class on top, one
// column per round with its name, each pair as two boxed seats (car number and name, ET, RT),
// the winner's seat filled grey with its name and ET in bold, the pair's note in italics below
// it, and a column for the class's winner. On a fixed ladder (`joined`) lines join each pair to
// the seat it feeds; a pair whose next pair is on the next page says so. The boxes and the font
// (8 points at most) shrink with the field, so everything stays inside the page: about 7 points
// for a 32-car ladder on a letter or A4 page. The surface's font, orientation and scale mode are
// as before afterwards. Printer failures throw halvex::Failure.
void printBracket(PrintSurface& surface, const BracketSheet& sheet);

// The class's results as a table, one job, portrait: place, car number, racer, round reached,
// best ET and best RT, the heading and column titles repeated on every page.
void printClassResults(PrintSurface& surface, const QString& eventName, const QString& className,
                       std::span<const ClassStanding> standings);

} // namespace halvex
