#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

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

// The rows of a tab-separated table, one a line; blank lines and lines starting with '#' are
// left out. A table that cannot be read fails the test run: no rows would pass unnoticed.
inline QList<QStringList> tableRows(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        qFatal("cannot read the table %s", qPrintable(path));
    QList<QStringList> rows;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#'))
            rows.append(QString::fromUtf8(line).split(u'\t'));
    return rows;
}

} // namespace halvex::test
