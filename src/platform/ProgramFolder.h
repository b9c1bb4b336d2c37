#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

// The folder that holds the program's data files, tips and help. File names are matched there
// without regard to letter case, as the data files of an installation may be spelled either way.
class ProgramFolder
{
public:
    explicit ProgramFolder(QString dir);
    // HALVEX_HOME when set, else the folder of the executable.
    static ProgramFolder fromEnvironment();

    const QString& dir() const { return m_dir; }
    // The path of an existing entry whose name matches regardless of case, else the name as
    // spelled, in the folder.
    QString path(const QString& name) const;
    bool exists(const QString& name) const;

private:
    QString m_dir;
};

// Whole-file operations. Each throws halvex::Failure with a description for the operator.
QByteArray readFileBytes(const QString& path);
// Replaces the file atomically: a crash or a full disk never leaves half a file behind.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
// Adds the bytes at the end of the file (created when missing), replacing the file atomically.
void appendToFile(const QString& path, const QByteArray& bytes);

} // namespace halvex
