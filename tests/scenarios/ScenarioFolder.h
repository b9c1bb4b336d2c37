#pragma once

#include "data/DragSettings.h"
#include "race/WindowState.h"

#include <QStringList>

namespace halvex::test {

// "Field=value" words set into a record by the field's name; an unknown field or a value that
// is not of the field's kind throws.
void assignFields(DragSettings& record, const QStringList& assignments);
void assignFields(WindowStateRecord& record, const QStringList& assignments);

} // namespace halvex::test
