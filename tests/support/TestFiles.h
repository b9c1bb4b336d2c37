#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace halvex::test {

// A file's bytes, or "<missing>" when there is none to read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes a file whole; a test that cannot lay out its files cannot go on.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace halvex::test
