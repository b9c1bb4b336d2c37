#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

// The data files hold one byte per character in the Windows-1252 code page.
QString fromCp1252(const QByteArray& bytes);
// Characters the code page cannot hold are written as "?".
QByteArray toCp1252(const QString& text);

} // namespace halvex
