#include "platform/Module.h"

#include <QCoreApplication>
#include <QLibrary>

namespace halvex {

QFunctionPointer moduleFunction(const QString& module, const char* function, QString* error)
{
    // A library loaded by QLibrary stays loaded after the object goes, until unload() is called.
    QLibrary library(QCoreApplication::applicationDirPath() + QLatin1Char('/') + module);
    const QFunctionPointer found = library.resolve(function);
    if (!found && error)
        *error = library.errorString();
    return found;
}

} // namespace halvex
