#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

// The folder that holds the program's data files, tips and help. File names are matched there
// without regard to letter case, as the data files of an installation may be spelled either way.
// The files the program ships and the operator never edits (the tips, the coin sound, the maker's
// page) may sit in a folder of their own, so that an upgrade of an installation brings new ones.
class ProgramFolder
{
public:
    // `shippedDir` empty: the shipped files are in `dir` too.
    explicit ProgramFolder(QString dir, QString shippedDir = {});
    // HALVEX_HOME when set; else, for an installed program (one with `<prefix>/share/halvex`
    // beside its `<prefix>/bin`), `halvex` in the user's data folder; else the folder of the
    // executable. An installed program reads its shipped files from `<prefix>/share/halvex` and
    // lays its program folder out from the sample there on the first run; a failure to lay it
    // out is described in `layOutFailure` and the folder is taken as it is.
    static ProgramFolder fromEnvironment(QString* layOutFailure = nullptr);
    // The same rule on given places: `installedShare` is empty for a program run from where it
    // was built.
    static ProgramFolder choose(const QString& home, const QString& executableDir,
                                const QString& installedShare, const QString& dataDir);

    const QString& dir() const { return m_dir; }
    // The path of an existing entry whose name matches regardless of case, else the name as
    // spelled, in the folder.
    QString path(const QString& name) const;
    bool exists(const QString& name) const;
    // The same for a file the program ships.
    QString shippedPath(const QString& name) const;
    bool shippedExists(const QString& name) const;

private:
    QString m_dir;
    QString m_shippedDir;
};

// `<prefix>/share/halvex` when the executable's folder is an installation's `<prefix>/bin`, else
// empty.
QString installedShareDir(const QString& executableDir);

// The first run of an installation: each file of the sample folder that `dir` lacks (by name,
// regardless of case) is copied in, and the spreadsheet folder made. Nothing there is ever
// replaced; a folder that holds any of the sample's files has been laid out before and is left
// alone, so a list the operator deleted stays deleted.
// Throws halvex::Failure with a description for the operator.
void layOutProgramFolder(const QString& sampleDir, const QString& dir);

// Whole-file operations. Each throws halvex::Failure with a description for the operator.
QByteArray readFileBytes(const QString& path);
// Replaces the file atomically: a crash or a full disk never leaves half a file behind.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
// Adds the bytes at the end of the file (created when missing), replacing the file atomically.
void appendToFile(const QString& path, const QByteArray& bytes);

} // namespace halvex
