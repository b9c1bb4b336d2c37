#include "link/ReplyParser.h"

#include "data/Numbers.h"

namespace halvex {

void keepValidPrefix(QString& text, const QString& allowed)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!allowed.contains(text[i])) {
            text.truncate(i);
            return;
        }
    }
}

int parseReply(const QString& reply, const QString& validChars, const QString& delimiter,
               std::span<qint32> target, int lowerBound)
{
    QString text = reply;
    keepValidPrefix(text, validChars + delimiter);
    std::fill(target.begin(), target.end(), 0);

    const int upperBound = lowerBound + static_cast<int>(target.size()) - 1;
    int count = lowerBound - 1;
    qsizetype pos = 0;
    while (count < upperBound) {
        const qsizetype end = text.indexOf(delimiter, pos);
        if (end < 0)
            break;
        ++count;
        target[count - lowerBound] = roundToInt32(leadingNumber(text.mid(pos, end - pos)));
        pos = end + delimiter.size();
    }
    return count;
}

} // namespace halvex
