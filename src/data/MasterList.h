#pragma once

#include <QString>
#include <QStringList>

namespace halvex {

inline const QString kRacersFileName = QStringLiteral("DragRacers.dat");
inline const QString kCarsFileName = QStringLiteral("DragCars.dat");
inline const QString kClassesFileName = QStringLiteral("DragClass.dat");

// Every field of a list file, in file order: one quoted name a line as the editors write it, or
// bare names as a hand-made file holds them. Throws halvex::Failure when the file is missing.
QStringList readNames(const QString& path);
// Appends one quoted line; the file is created when it does not exist.
void appendName(const QString& path, const QString& name);
// Rewrites the whole file, one quoted line a name, atomically.
void writeNames(const QString& path, const QStringList& names);

// First letter of every word upper case, the rest lower case; words are split by blanks, tabs
// and line breaks only, so "mary o'BRIEN" becomes "Mary O'brien".
QString properCase(const QString& text);

// The order of the sorted name lists: alphabetical without regard to case, in a fixed collation
// so that "Müller" stands among the M's whatever the machine's locale.
int compareListNames(const QString& a, const QString& b);
// The names in list order; names that compare equal keep their order among themselves, as if each
// had been inserted after every name before it that compares equal or lower.
QStringList sortedListNames(QStringList names);
// Opens the collation on a thread of its own, so that its tables are read while the program
// connects to the display; the first sort waits for it if it is not ready yet.
void prepareListOrder();

// The line format has no escape for a double quote, so such a name cannot be stored.
bool canStoreName(const QString& name);

} // namespace halvex
