#include "Scenario.h"

#include "support/TestFiles.h"

#include <stdexcept>

namespace halvex::test {

namespace {

// A quoted word takes the escapes of the tables' fields; a backslash keeps the quote after it.
QStringList words(const QString& line)
{
    QStringList out;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (line.at(i) != u'"') {
            while (i < line.size() && !line.at(i).isSpace())
                ++i;
            out.append(line.mid(start, i - start));
            continue;
        }
        for (++i; i < line.size() && line.at(i) != u'"'; ++i)
            if (line.at(i) == u'\\')
                ++i;
        if (i >= line.size())
            throw std::runtime_error("unterminated quote");
        out.append(unescaped(line.mid(start + 1, i - start - 1)));
        ++i;
    }
    return out;
}

} // namespace

QList<Step> parseScenario(const QByteArray& text)
{
    QList<Step> steps;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines.at(n)).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        try {
            steps.append(Step{int(n + 1), line, words(line)});
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("line " + std::to_string(n + 1) + ": " + e.what());
        }
    }
    return steps;
}

void fail(const QString& why)
{
    throw std::runtime_error(why.toStdString());
}

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'"' || c == u'\\')
            out += QStringLiteral("\\") + c;
        else if (c.unicode() < 32)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

QString quoted(const QStringList& texts)
{
    QStringList q;
    for (const QString& t : texts)
        q.append(quoted(t));
    return q.isEmpty() ? QStringLiteral("(nothing)") : q.join(u' ');
}

} // namespace halvex::test
