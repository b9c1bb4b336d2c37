#include "data/MasterList.h"

#include "data/DelimitedText.h"
#include "data/ProgramFolder.h"

#include <QCollator>

namespace halvex {

QStringList readNames(const QString& path)
{
    DelimitedReader in(readFileBytes(path));
    QStringList names;
    while (!in.atEnd())
        names.append(in.text());
    return names;
}

static QByteArray nameLine(const QString& name)
{
    DelimitedWriter out;
    out.text(name).endLine();
    return out.bytes();
}

void appendName(const QString& path, const QString& name)
{
    appendToFile(path, nameLine(name));
}

void writeNames(const QString& path, const QStringList& names)
{
    QByteArray bytes;
    for (const QString& name : names)
        bytes += nameLine(name);
    writeFileAtomically(path, bytes);
}

QString properCase(const QString& text)
{
    QString out = text;
    bool wordStart = true;
    for (QChar& ch : out) {
        if (ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n') {
            wordStart = true;
            continue;
        }
        ch = wordStart ? ch.toUpper() : ch.toLower();
        wordStart = false;
    }
    return out;
}

int compareListNames(const QString& a, const QString& b)
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::English, QLocale::UnitedStates)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b);
}

bool canStoreName(const QString& name)
{
    return !name.contains(u'"');
}

} // namespace halvex
