// The timing unit's reply text, whole, through the parser into a race-sized and a
// diagnostics-sized array.

#include "FuzzInput.h"
#include "link/ReplyParser.h"
#include "platform/Failure.h"

#include <QStringList>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// Digits alone, short enough to fit 32 bits: the field's number is exactly their value.
bool plainNumber(const QString& field, qint64& value)
{
    const bool negative = field.startsWith(u'-');
    const QString digits = negative ? field.mid(1) : field;
    if (digits.isEmpty() || digits.size() > 9)
        return false;
    for (QChar ch : digits)
        if (ch < u'0' || ch > u'9')
            return false;
    value = digits.toLongLong() * (negative ? -1 : 1);
    return true;
}

template <std::size_t N> void parseInto(const QString& reply)
{
    std::array<qint32, N> target;
    target.fill(0x5A5A5A5A);
    int count = 0;
    try {
        count = parseReply(reply, kReplyValidChars, kReplyDelimiter,
                           std::span<qint32>(target).subspan(1), 1);
    } catch (const Failure& f) {
        // A number past 32 bits is a malformed reply; nothing else may be thrown.
        check(f.code() == Failure::Overflow, "only an overflow is thrown");
        return;
    }
    QString usable = reply;
    keepValidPrefix(usable, kReplyValidChars + kReplyDelimiter);
    const QStringList fields = usable.split(kReplyDelimiter);
    // The text after the last line feed is no field.
    const int complete = int(fields.size()) - 1;
    const int upper = int(N) - 1;
    check(count == std::min(complete, upper), "count is the fields received, up to the array");
    check(target[0] == 0x5A5A5A5A, "nothing written below the lower bound");
    for (int i = 1; i <= upper; ++i) {
        if (i > count) {
            check(target[size_t(i)] == 0, "fields not received are zero");
            continue;
        }
        qint64 value = 0;
        if (plainNumber(fields[i - 1], value))
            check(target[size_t(i)] == value, "a plain number is taken as it stands");
        if (fields[i - 1].isEmpty())
            check(target[size_t(i)] == 0, "an empty field is zero");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    QString prefix = reply;
    keepValidPrefix(prefix, kReplyValidChars + kReplyDelimiter);
    check(reply.startsWith(prefix), "the kept text is a prefix");
    for (QChar ch : prefix)
        check((kReplyValidChars + kReplyDelimiter).contains(ch), "only allowed characters kept");
    if (prefix.size() < reply.size())
        check(!(kReplyValidChars + kReplyDelimiter).contains(reply[prefix.size()]),
              "the cut is at the first character not allowed");

    parseInto<RaceReply().size()>(reply);
    parseInto<DiagReply().size()>(reply);
    return 0;
}
