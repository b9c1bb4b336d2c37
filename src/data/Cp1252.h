#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

// The data files hold one byte per character in the Windows-1252 code page.
QString fromCp1252(const QByteArray& bytes);
// Characters the code page cannot hold are written as "?".
QByteArray toCp1252(const QString& text);
// The first character of the text that the code page cannot hold (two code units for one beyond
// 16 bits), empty when all fit. A text with one would be written back changed, a password so
// that it no longer lets the operator in.
QString firstUnstorable(const QString& text);
// The operator's message that refuses a text holding that character.
QString unstorableMessage(const QString& character);

} // namespace halvex
