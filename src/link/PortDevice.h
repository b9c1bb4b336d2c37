#pragma once

#include "platform/ProgramFolder.h"

namespace halvex {

// The device a port number means: the entry COM<n> of the program folder when it exists (a link
// to a real device or to a pseudo-terminal), else /dev/ttyS<n-1>. A number outside 1 to 4, or a
// device that does not exist, throws the invalid-port-number Failure.
QString portDevice(const ProgramFolder& folder, int portNumber,
                   const QString& fallbackPrefix = QStringLiteral("/dev/ttyS"));

} // namespace halvex
