#include "data/MasterList.h"

#include "data/DelimitedText.h"
#include "platform/ProgramFolder.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <vector>

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

static const QCollator& listCollator()
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::English, QLocale::UnitedStates)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

int compareListNames(const QString& a, const QString& b)
{
    return listCollator().compare(a, b);
}

QStringList sortedListNames(const QStringList& names)
{
    // One sort key a name, so that a comparison is a byte compare. Empty names are put first apart
    // from the keys: the collator has them before any other name, even before one whose key is as
    // empty, such as a name of control characters only.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.push_back(listCollator().sortKey(name));
    std::vector<qsizetype> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    const auto rest = std::stable_partition(order.begin(), order.end(),
                                            [&](qsizetype i) { return names[i].isEmpty(); });
    std::stable_sort(rest, order.end(),
                     [&](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    // Copied in list order: whoever walks the list then walks memory in order, which is what
    // keeps a list of many thousand names fast to fill into a box and to clear again.
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order)
        sorted.append(QString(names[i].constData(), names[i].size()));
    return sorted;
}

bool canStoreName(const QString& name)
{
    return !name.contains(u'"');
}

} // namespace halvex
