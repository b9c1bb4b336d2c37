#include "data/MasterList.h"

#include "data/DelimitedText.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <unicode/ucol.h>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace halvex {

QStringList readNames(const QString& path)
{
    QByteArray bytes = readFileBytes(path);
    QStringList names;
    // A name a line, as a rule: room for all at once rather than twice the room at the end.
    names.reserve(bytes.count('\n') + 1);
    // Handed over, not shared: the reader would copy bytes it shares before reading them.
    DelimitedReader in(std::move(bytes), QFileInfo(path).fileName());
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

namespace {

// The list order's collator: ICU's, set up exactly as QCollator sets it up for the English (US)
// locale without regard to case (normalisation on, secondary strength, no numeric order,
// punctuation not ignored). ICU itself rather than QCollator, so that a list's sort keys can be
// written into one block of memory: a million names sort in a fraction of the time and memory
// that a QCollatorSortKey for each takes.
class ListCollator
{
public:
    ListCollator()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open("en_US", &status);
        if (U_FAILURE(status))
            qFatal("The list collation cannot be opened: %s", u_errorName(status));
        ucol_setAttribute(m_collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(m_collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
        ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(m_collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    }
    ~ListCollator() { ucol_close(m_collator); }
    ListCollator(const ListCollator&) = delete;
    ListCollator& operator=(const ListCollator&) = delete;

    int compare(const QString& a, const QString& b) const
    {
        // An empty name comes before every other, even one of characters the collation ignores,
        // as QCollator has it and as the sort puts it.
        if (a.isEmpty() || b.isEmpty())
            return int(b.isEmpty()) - int(a.isEmpty());
        return ucol_strcoll(m_collator, chars(a), int(a.size()), chars(b), int(b.size()));
    }
    // Writes the sort key, zero-terminated and free of other zero bytes, into `key` when it fits;
    // returns its length with the terminator either way.
    int sortKey(const QString& name, uint8_t* key, int room) const
    {
        return ucol_getSortKey(m_collator, chars(name), int(name.size()), key, room);
    }

private:
    static const UChar* chars(const QString& s)
    {
        return reinterpret_cast<const UChar*>(s.utf16());
    }

    UCollator* m_collator = nullptr;
};

const ListCollator& listCollator()
{
    static const ListCollator collator;
    return collator;
}

} // namespace

void prepareListOrder()
{
    // Kept until the program ends: its destruction waits for the thread, should the program end
    // before the collation is open.
    static const std::future<void> opening = std::async(std::launch::async, [] { listCollator(); });
}

namespace {

// A name's sort key, written into a buffer that is reused from name to name.
class SortKey
{
public:
    const uint8_t* of(const QString& name)
    {
        const int size = listCollator().sortKey(name, m_bytes.data(), int(m_bytes.size()));
        if (size > int(m_bytes.size())) {
            m_bytes.resize(size_t(size));
            listCollator().sortKey(name, m_bytes.data(), size);
        }
        return m_bytes.data();
    }

private:
    std::vector<uint8_t> m_bytes = std::vector<uint8_t>(256);
};

// Up to this many names every whole key is kept for the sort (some ten MB at most); a longer list
// keeps only the keys' beginnings, and works out whole keys one group of alike beginnings at a
// time, so that a million names never hold a million keys at once.
constexpr qsizetype kWholeKeysUpTo = 131072;

// The whole keys of a list, one after the other in large blocks.
class KeyArena
{
public:
    const uint8_t* add(const uint8_t* key)
    {
        const size_t size = std::strlen(reinterpret_cast<const char*>(key)) + 1;
        if (m_blocks.empty() || kBlockSize - m_used < size) {
            // Not zeroed: every byte handed out is written first, and a short list touches only
            // the first pages of its block instead of clearing a whole megabyte at start-up.
            m_blocks.push_back(
                std::make_unique_for_overwrite<uint8_t[]>(std::max(kBlockSize, size)));
            m_used = 0;
        }
        uint8_t* at = m_blocks.back().get() + m_used;
        std::memcpy(at, key, size);
        m_used += size;
        return at;
    }

private:
    static constexpr size_t kBlockSize = size_t(1) << 20;
    std::vector<std::unique_ptr<uint8_t[]>> m_blocks;
    size_t m_used = 0;
};

// A name's place in the sort: the first sixteen bytes of its key, as two numbers, its whole key
// when the list keeps them, and where the name stands in the list.
struct SortEntry
{
    quint64 high = 0;
    quint64 low = 0;
    const uint8_t* key = nullptr;
    qsizetype index = 0;

    bool samePrefix(const SortEntry& other) const { return high == other.high && low == other.low; }
    bool operator<(const SortEntry& other) const
    {
        if (high != other.high)
            return high < other.high;
        if (low != other.low)
            return low < other.low;
        if (key && other.key) {
            const int byKey = std::strcmp(reinterpret_cast<const char*>(key),
                                          reinterpret_cast<const char*>(other.key));
            if (byKey != 0)
                return byKey < 0;
        }
        return index < other.index;
    }
};

SortEntry sortEntry(const uint8_t* key, qsizetype index)
{
    quint64 part[2] = {0, 0};
    bool ended = false;
    for (int i = 0; i < 16; ++i) {
        ended = ended || key[i] == 0;
        part[i / 8] = (part[i / 8] << 8) | (ended ? 0 : key[i]);
    }
    return {part[0], part[1], nullptr, index};
}

// Puts a group of names whose keys begin alike in the order of their whole keys, equal keys in
// list order.
void sortGroup(std::vector<SortEntry>::iterator first, std::vector<SortEntry>::iterator last,
               const QStringList& names)
{
    // The group's keys one after the other, each zero-terminated.
    std::vector<uint8_t> keys;
    std::vector<std::pair<size_t, qsizetype>> group; // where a key starts, the name's index
    group.reserve(size_t(last - first));
    SortKey key;
    for (auto it = first; it != last; ++it) {
        const uint8_t* bytes = key.of(names[it->index]);
        group.emplace_back(keys.size(), it->index);
        keys.insert(keys.end(), bytes,
                    bytes + std::strlen(reinterpret_cast<const char*>(bytes)) + 1);
    }
    const auto* base = reinterpret_cast<const char*>(keys.data());
    std::sort(group.begin(), group.end(), [base](const auto& a, const auto& b) {
        const int byKey = std::strcmp(base + a.first, base + b.first);
        return byKey != 0 ? byKey < 0 : a.second < b.second;
    });
    for (const auto& entry : group)
        (first++)->index = entry.second;
}

} // namespace

int compareListNames(const QString& a, const QString& b)
{
    return listCollator().compare(a, b);
}

QStringList sortedListNames(QStringList names)
{
    // Sort keys, so that a comparison is a byte compare; equal keys keep the names' order. Empty
    // names are put first apart from the keys: the collator has them before any other name, even
    // before one whose key is as empty, such as a name of control characters only.
    std::vector<SortEntry> order;
    order.reserve(size_t(names.size()));
    const bool wholeKeys = names.size() <= kWholeKeysUpTo;
    KeyArena keys;
    {
        SortKey key;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].isEmpty())
                continue;
            const uint8_t* bytes = key.of(names[i]);
            order.push_back(sortEntry(bytes, i));
            if (wholeKeys)
                order.back().key = keys.add(bytes);
        }
    }
    std::sort(order.begin(), order.end());
    for (auto group = order.begin(); !wholeKeys && group != order.end();) {
        auto end = std::find_if(group + 1, order.end(),
                                [&](const SortEntry& e) { return !e.samePrefix(*group); });
        if (end - group > 1)
            sortGroup(group, end, names);
        group = end;
    }
    // The names themselves are moved, not copied: a list of a million names is held once.
    QStringList sorted;
    sorted.reserve(names.size());
    for (QString& name : names)
        if (name.isEmpty())
            sorted.append(std::move(name));
    for (const SortEntry& entry : order)
        sorted.append(std::move(names[entry.index]));
    names = QStringList();
    order = {};
#ifdef __GLIBC__
    // The keys were spread over the heap among the names: hand the freed pages back, or the
    // program keeps the sort's peak for the rest of the run.
    if (sorted.size() > 10000)
        malloc_trim(0);
#endif
    return sorted;
}

bool canStoreName(const QString& name)
{
    return !name.contains(u'"');
}

} // namespace halvex
