#pragma once

#include "reports/PrinterDevice.h"

#include <memory>

namespace halvex {

// The system's default printer (a CUPS queue) for one job; `name` receives its name. No default
// printer, or a queue that refuses jobs, throws halvex::Failure.
std::unique_ptr<PrinterDevice> openDefaultPrinter(QString& name);
// A PDF file written by the printer's own PDF engine.
std::unique_ptr<PrinterDevice> openPdfPrinter(const QString& path);

} // namespace halvex
