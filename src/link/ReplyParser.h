#pragma once

#include <QString>

#include <span>

namespace halvex {

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
