#pragma once

#include "platform/ProgramFolder.h"

namespace halvex {

// The maker's web page: a page about the program and how to reach its authors, shipped in the
// program folder and opened as a local file, so the web page window works without the internet.
inline const QString kMakerPageFileName = QStringLiteral("Vantora.html");
QString makerPageAddress(const ProgramFolder& folder);

} // namespace halvex
