#pragma once

#include <QByteArray>

namespace halvex::sim {

// Printable form of line bytes, so that one command stays on one log line and every byte the
// program sent can be read back exactly: LF as \n, CR as \r, a backslash as \\, printable ASCII
// as itself and every other byte as \xNN (lower-case hex).
QByteArray escapeBytes(const QByteArray& bytes);

} // namespace halvex::sim
