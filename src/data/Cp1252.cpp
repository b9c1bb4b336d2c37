#include "data/Cp1252.h"

#include <QList>

#include <array>

namespace halvex {
namespace {

// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (kept as the C1 control).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString fromCp1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0)
            text.append(QChar(kHigh[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

QByteArray toCp1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar ch = text[at];
        // A character beyond the 16-bit range is one character, so it becomes one "?".
        if (ch.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            bytes.append('?');
            ++at;
            continue;
        }
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) ||
            (u >= 0x80 && u <= 0x9F && kHigh[u - 0x80] == 0)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == u) {
                out = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.append(out);
    }
    return bytes;
}

QString firstUnstorable(const QString& text)
{
    for (qsizetype at = 0; at < text.size();) {
        const bool pair =
            text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
        QString ch = text.mid(at, pair ? 2 : 1);
        if (ch != u'?' && toCp1252(ch) == "?")
            return ch;
        at += ch.size();
    }
    return {};
}

QString unstorableMessage(const QString& character)
{
    const char32_t code = character.toUcs4().value(0);
    return QStringLiteral("The character \"%1\" (U+%2) cannot be stored in the program's files."
                          "\r\nPlease type the text without it.")
        .arg(character, QString::number(code, 16).toUpper().rightJustified(4, u'0'));
}

} // namespace halvex
