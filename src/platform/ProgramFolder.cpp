#include "platform/ProgramFolder.h"

#include "platform/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace halvex {

namespace {

const QString kSampleFolderName = QStringLiteral("sample-home");

QString entryPath(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    // A name is mostly found as written: one look at it, rather than a listing of the folder at
    // each of the start-up's dozen files.
    QString path = dir.filePath(name);
    if (QFileInfo::exists(path))
        return path;
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return path;
}

} // namespace

ProgramFolder::ProgramFolder(QString dir, QString shippedDir)
    : m_dir(std::move(dir)), m_shippedDir(shippedDir.isEmpty() ? m_dir : std::move(shippedDir))
{}

ProgramFolder ProgramFolder::fromEnvironment(QString* layOutFailure)
{
    const QString executableDir = QCoreApplication::applicationDirPath();
    const QString share = installedShareDir(executableDir);
    ProgramFolder folder =
        choose(qEnvironmentVariable("HALVEX_HOME"), executableDir, share,
               QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    try {
        if (!share.isEmpty())
            layOutProgramFolder(QDir(share).filePath(kSampleFolderName), folder.dir());
    } catch (const Failure& failure) {
        if (layOutFailure)
            *layOutFailure = failure.description();
    }
    return folder;
}

ProgramFolder ProgramFolder::choose(const QString& home, const QString& executableDir,
                                    const QString& installedShare, const QString& dataDir)
{
    QString dir = executableDir;
    if (!home.isEmpty())
        dir = QDir(home).absolutePath();
    else if (!installedShare.isEmpty())
        dir = QDir(dataDir).filePath(QStringLiteral("halvex"));
    return ProgramFolder(dir, installedShare);
}

QString ProgramFolder::path(const QString& name) const
{
    return entryPath(m_dir, name);
}

bool ProgramFolder::exists(const QString& name) const
{
    return QFileInfo::exists(path(name));
}

QString ProgramFolder::shippedPath(const QString& name) const
{
    return entryPath(m_shippedDir, name);
}

bool ProgramFolder::shippedExists(const QString& name) const
{
    return QFileInfo::exists(shippedPath(name));
}

QString installedShareDir(const QString& executableDir)
{
    const QDir bin(executableDir);
    if (bin.dirName() != QStringLiteral("bin"))
        return {};
    const QString share = QDir::cleanPath(bin.filePath(QStringLiteral("../share/halvex")));
    return QFileInfo(QDir(share).filePath(kSampleFolderName)).isDir() ? share : QString();
}

void layOutProgramFolder(const QString& sampleDir, const QString& dir)
{
    const QFileInfoList samples = QDir(sampleDir).entryInfoList(QDir::Files, QDir::Name);
    const ProgramFolder folder(dir);
    for (const QFileInfo& sample : samples) {
        if (folder.exists(sample.fileName()))
            return;
    }
    if (!QDir().mkpath(dir))
        throw Failure(QStringLiteral("Cannot make the program folder %1").arg(dir));
    for (const QFileInfo& sample : samples)
        writeFileAtomically(folder.path(sample.fileName()), readFileBytes(sample.filePath()));
    // The race data window proposes its spreadsheet files there.
    QDir(dir).mkdir(QStringLiteral("Halvex Stats"));
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
