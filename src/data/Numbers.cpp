#include "data/Numbers.h"

#include "platform/Failure.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace halvex {

namespace {
// Reads a number in the C locale whatever the operator's is. A value past the range of a double
// comes back infinite, and overflows where it is converted, never as 0; one too small is 0. Text
// that is no number is 0.
double cNumber(const QString& text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const QByteArray bytes = text.toLatin1();
    return strtod_l(bytes.constData(), nullptr, c);
}
} // namespace

double leadingNumber(const QString& text)
{
    QString number;
    bool point = false;
    for (QChar ch : text) {
        if (ch == u' ' || ch == u'\t')
            continue;
        if (ch == u'-' && number.isEmpty()) {
            number.append(ch);
        } else if (ch.isDigit() && ch.unicode() < 128) {
            number.append(ch);
        } else if (ch == u'.' && !point) {
            point = true;
            number.append(ch);
        } else {
            break;
        }
    }
    return cNumber(number);
}

bool isNumeric(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const auto n = t.size();
    auto digit = [&](qsizetype k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    bool digits = false;
    while (digit(i)) {
        ++i;
        digits = true;
    }
    if (i < n && t[i] == u'.') {
        ++i;
        while (digit(i)) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    return i == n;
}

double numericValue(const QString& text)
{
    if (!isNumeric(text))
        throw Failure(QStringLiteral("Type mismatch"), Failure::TypeMismatch);
    return cNumber(text.trimmed());
}

float toSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        throw Failure(QStringLiteral("Overflow"), Failure::Overflow);
    return static_cast<float>(value);
}

float singleValue(const QString& text)
{
    return toSingle(numericValue(text));
}

namespace {
double nearestEven(double value)
{
    // The default floating-point environment rounds to nearest with ties to even.
    return std::nearbyint(value);
}
} // namespace

qint32 roundToInt32(double value)
{
    const double r = nearestEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() ||
        r > std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("Overflow"), Failure::Overflow);
    return static_cast<qint32>(r);
}

qint16 roundToInt16(double value)
{
    const double r = nearestEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<qint16>::min() ||
        r > std::numeric_limits<qint16>::max())
        throw Failure(QStringLiteral("Overflow"), Failure::Overflow);
    return static_cast<qint16>(r);
}

QString fixed(double value, int decimals)
{
    QString s = QString::number(value, 'f', decimals);
    // A value that rounds to zero is shown without a sign.
    if (s.startsWith(u'-') && s.count(u'0') == s.size() - (decimals > 0 ? 2 : 1))
        s.remove(0, 1);
    return s;
}

} // namespace halvex
