#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace halvex {

// Comma-separated text as every spreadsheet reads it: UTF-8, lines ended by CR LF, a field quoted
// when it holds a comma, a quote or a line break, and a quote inside a quoted field doubled.
QByteArray csvLine(const QStringList& fields);

// The rows of comma-separated text. A quoted field may span lines. A last row cut short inside
// its quotes (a write that never finished) is dropped rather than guessed at.
QList<QStringList> parseCsv(const QByteArray& text);

} // namespace halvex
