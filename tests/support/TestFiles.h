#pragma once

#include "data/DragSettings.h"
#include "platform/Failure.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

#include <bit>
#include <stdexcept>

namespace halvex::test {

// A file's bytes, or "<missing>" when there is none to read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A single's bit pattern: singles are compared exactly, never within a tolerance.
inline quint32 bits(float value)
{
    return std::bit_cast<quint32>(value);
}

// The test strip: 66 ft long, a speed trap of 12 inches, three timing points at 10, 20 and 40 ft.
inline DragSettings testStrip()
{
    DragSettings s;
    s.TrackName = QStringLiteral("Test Strip");
    s.TrackLength = QStringLiteral("66 ft");
    s.SpeedTrapDistance = 12;
    s.SpeedMultiplier = 1;
    s.InterSensorDistance = {QString(), "10 ft", "20 ft", "40 ft", QString(), QString()};
    s.NumberOfSensors = 3;
    return s;
}

// The failure that `act` throws; one of code -1 when it throws none, so that the code compared
// after it fails the test.
template <class Act> Failure failureOf(Act&& act)
{
    try {
        act();
    } catch (const Failure& failure) {
        return failure;
    }
    return Failure(QStringLiteral("nothing was thrown"), -1);
}

// Writes a file whole; a test that cannot lay out its files cannot go on.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A table's field with \r, \n, \t, \\ and \xNN (a byte, or a character below 256) replaced; any
// other character after a backslash stands for itself.
inline QString unescaped(const QString& field)
{
    QString text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c != u'\\' || i + 1 == field.size()) {
            text += c;
            continue;
        }
        const QChar next = field[i + 1];
        if (next == u'x') {
            bool ok = false;
            const QString hex = field.mid(i + 2, 2);
            text += QChar(hex.toUShort(&ok, 16));
            if (!ok || hex.size() != 2)
                throw std::runtime_error("\\x needs two hex digits");
            i += 3;
        } else {
            text += next == u'r' ? u'\r' : next == u'n' ? u'\n' : next == u't' ? u'\t' : next;
            ++i;
        }
    }
    return text;
}

// The rows of a tab-separated table, one a line, each field unescaped; blank lines and lines
// starting with '#' are left out. A table that cannot be read, or a row without its `columns`
// fields, fails the test run: no rows would pass unnoticed, and a missing tab would shift every
// field after it.
inline QList<QStringList> tableRows(const QString& path, qsizetype columns)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        qFatal("cannot read the table %s", qPrintable(path));
    QList<QStringList> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        QStringList fields;
        for (const QString& field : QString::fromUtf8(line).split(u'\t'))
            fields.append(unescaped(field));
        if (fields.size() != columns)
            qFatal("%s: %lld fields, not %lld, in the row %s", qPrintable(path),
                   qlonglong(fields.size()), qlonglong(columns), line.constData());
        rows.append(fields);
    }
    return rows;
}

// A table as the rows of a data-driven test: one column "row", each row named by its first field.
inline void addTableRows(const QString& path, qsizetype columns)
{
    QTest::addColumn<QStringList>("row");
    for (const QStringList& row : tableRows(path, columns))
        QTest::newRow(qPrintable(row[0])) << row;
}

} // namespace halvex::test
