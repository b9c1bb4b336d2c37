#include "platform/Module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace halvex {

QString programFilePath(const QString& name)
{
    return programFilePath(QCoreApplication::applicationDirPath(), name);
}

QString programFilePath(const QString& executableFolder, const QString& name)
{
    const QDir executableDir(executableFolder);
    QString beside = executableDir.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(executableDir.filePath(QStringLiteral("../lib/halvex/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

QFunctionPointer moduleFunction(const QString& module, const char* function, QString* error)
{
    // A library loaded by QLibrary stays loaded after the object goes, until unload() is called.
    QLibrary library(programFilePath(module));
    const QFunctionPointer found = library.resolve(function);
    if (!found && error)
        *error = library.errorString();
    return found;
}

} // namespace halvex
