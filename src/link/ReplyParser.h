#pragma once

#include <QString>

#include <array>
#include <span>

namespace halvex {

// The numbers of the unit's last race report (indices 1 to 18) and diagnostics report (1 to 2);
// index 0 is unused, so an index reads as the unit counts its fields.
using RaceReply = std::array<qint32, 19>;
using DiagReply = std::array<qint32, 3>;

inline const QString kReplyValidChars = QStringLiteral("1234567890-.");
inline const QString kReplyDelimiter = QStringLiteral("\n");

// Cuts the text after the longest leading run of allowed characters.
void keepValidPrefix(QString& text, const QString& allowed);

// Parses the unit's reply into target[lowerBound..], zeroing the whole array first. Returns the
// highest index filled, lowerBound - 1 when none. Each field is the number at its start, rounded
// to a 32-bit integer with halves to even; fields beyond the array are ignored.
int parseReply(const QString& reply, const QString& validChars, const QString& delimiter,
               std::span<qint32> target, int lowerBound);

} // namespace halvex
