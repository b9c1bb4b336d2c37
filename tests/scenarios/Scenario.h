#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace halvex::test {

// One line of a scenario file: the verb first, then its words. A quoted word keeps its spaces
// and takes the escapes \r \n \t \" \\ and \xNN (one byte, as a Latin-1 character).
struct Step
{
    int line = 0;
    QString text;
    QStringList words;
};

// The steps of a scenario, blank lines and lines starting with "#" left out. A line that cannot
// be cut into words throws the reason.
QList<Step> parseScenario(const QByteArray& text);

// Fails the step that is running with the reason given.
[[noreturn]] void fail(const QString& why);

// A text shown in a failure message: quoted, control characters escaped.
QString quoted(const QString& text);
QString quoted(const QStringList& texts);

} // namespace halvex::test
