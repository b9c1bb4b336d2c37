#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace halvex::sim {

// Whole numbers given on the command line as "0,0,512,-30" (blanks around an item allowed);
// nothing when the text is empty or any item is not a 32-bit integer.
std::optional<QList<qint32>> parseFieldList(const QString& text);

} // namespace halvex::sim
