#include "platform/ProgramFolder.h"

#include "platform/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace halvex {

ProgramFolder::ProgramFolder(QString dir) : m_dir(std::move(dir)) {}

ProgramFolder ProgramFolder::fromEnvironment()
{
    const QString home = qEnvironmentVariable("HALVEX_HOME");
    if (!home.isEmpty())
        return ProgramFolder(QDir(home).absolutePath());
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::path(const QString& name) const
{
    const QDir dir(m_dir);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

bool ProgramFolder::exists(const QString& name) const
{
    return QFileInfo::exists(path(name));
}

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw Failure(QStringLiteral("File not found: %1").arg(QFileInfo(path).fileName()),
                      Failure::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot open %1: %2")
                          .arg(QFileInfo(path).fileName(), file.errorString()));
    return file.readAll();
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // A folder the program may not create files in, holding a file it may write (an installation
    // whose folder was locked down): the file is written in place rather than not at all.
    file.setDirectWriteFallback(true);
    // flush() first: commit() alone would rename a file whose buffered write failed over the old
    // one.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw Failure(QStringLiteral("Cannot write %1: %2")
                          .arg(QFileInfo(path).fileName(), file.errorString()));
}

void appendToFile(const QString& path, const QByteArray& bytes)
{
    // Rewritten whole, as every save is: an append cut short by a full disk or a crash would
    // leave half a line that reads as a name of its own.
    const QByteArray old = QFileInfo::exists(path) ? readFileBytes(path) : QByteArray();
    writeFileAtomically(path, old + bytes);
}

} // namespace halvex
