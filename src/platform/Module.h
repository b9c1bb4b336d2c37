#pragma once

#include <QString>

namespace halvex {

// A file of the program's own that only the program uses (a module, the web page window's
// program): beside the executable, or in an installation in `<prefix>/lib/halvex`. When it is in
// neither, the path beside the executable, so a failure names where it was looked for.
QString programFilePath(const QString& name);
// The same beside a given executable's folder.
QString programFilePath(const QString& executableFolder, const QString& name);

// A function exported by a module (found by programFilePath), the module
// loaded the first time one of its functions is asked for and kept for the rest of the run. Parts
// that the first window does not need (the web page window's engine, the sound system, printing)
// live in such modules, so that their libraries are loaded only when first used.
// Null when the module or the function cannot be had; `error` then says why.
QFunctionPointer moduleFunction(const QString& module, const char* function, QString* error);

template <typename Function>
Function* moduleFunction(const QString& module, const char* function, QString* error)
{
    return reinterpret_cast<Function*>(moduleFunction(module, function, error));
}

} // namespace halvex
