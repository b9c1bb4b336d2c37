#pragma once

#include <QString>

class QPagedPaintDevice;

namespace halvex {

// One printer for one job, as QtPrintSurface draws on it. The printers themselves (QPrinter and
// the print support library) live in the module `halvex-print` beside the program and in the
// static library halvex_printer, so that the program loads them only when it first prints.
class PrinterDevice
{
public:
    virtual ~PrinterDevice() = default;
    // Paged, its margins kept (not the full page).
    virtual QPagedPaintDevice& device() = 0;
    virtual int resolution() const = 0;
    virtual void setGreyScale() = 0;
    // The print system refused the job that has just ended.
    virtual bool failed() const = 0;
};

} // namespace halvex
