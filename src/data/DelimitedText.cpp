#include "data/DelimitedText.h"

#include "data/Cp1252.h"
#include "data/Numbers.h"
#include "platform/Failure.h"

#include <algorithm>

namespace halvex {

void DelimitedWriter::separate()
{
    if (m_lineStarted)
        m_bytes.append(',');
    m_lineStarted = true;
}

DelimitedWriter& DelimitedWriter::text(const QString& value)
{
    separate();
    m_bytes.append('"').append(toCp1252(value)).append('"');
    return *this;
}

DelimitedWriter& DelimitedWriter::integer(qint64 value)
{
    separate();
    m_bytes.append(QByteArray::number(value));
    return *this;
}

DelimitedWriter& DelimitedWriter::single(float value)
{
    separate();
    m_bytes.append(formatSingle(value).toLatin1());
    return *this;
}

DelimitedWriter& DelimitedWriter::boolean(bool value)
{
    separate();
    m_bytes.append(value ? "#TRUE#" : "#FALSE#");
    return *this;
}

DelimitedWriter& DelimitedWriter::endLine()
{
    m_bytes.append("\r\n");
    m_lineStarted = false;
    return *this;
}

QString formatSingle(float value)
{
    if (value == 0.0f)
        return QStringLiteral("0");
    QString s = QString::number(static_cast<double>(value), 'g', 7).toUpper();
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

DelimitedReader::DelimitedReader(QByteArray bytes, QString fileName)
    : m_bytes(std::move(bytes)), m_fileName(std::move(fileName))
{}

QString DelimitedReader::field()
{
    if (atEnd())
        throw Failure(QStringLiteral("Input past end of file"), Failure::InputPastEnd);
    ++m_fields;
    const auto size = m_bytes.size();
    auto isLineEnd = [&](qsizetype i) { return m_bytes[i] == '\r' || m_bytes[i] == '\n'; };
    while (m_pos < size && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t'))
        ++m_pos;

    QByteArray raw;
    if (m_pos < size && m_bytes[m_pos] == '"') {
        const qsizetype start = m_pos + 1;
        qsizetype close = m_bytes.indexOf('"', start);
        if (close < 0)
            close = size;
        raw = m_bytes.mid(start, close - start);
        m_pos = close + 1;
        // Whatever stands between the closing quote and the delimiter is not part of the field.
        while (m_pos < size && m_bytes[m_pos] != ',' && !isLineEnd(m_pos))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_bytes[m_pos] != ',' && !isLineEnd(m_pos))
            ++m_pos;
        raw = m_bytes.mid(start, m_pos - start).trimmed();
    }
    if (m_pos < size) {
        if (m_bytes[m_pos] == ',') {
            ++m_pos;
        } else if (m_bytes[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < size && m_bytes[m_pos] == '\n')
                ++m_pos;
        } else {
            ++m_pos;
        }
    }
    return fromCp1252(raw);
}

QString DelimitedReader::text()
{
    QString f = field();
    // Names, track names and passwords are typed; a control character in one means the file is
    // not what it should be (another file under its name, a disk fault), not a text to show.
    const bool control = std::any_of(f.cbegin(), f.cend(), [](QChar c) {
        return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7f;
    });
    if (control)
        throw mismatch(QStringLiteral("text"));
    return f;
}

Failure DelimitedReader::mismatch(const QString& kind) const
{
    return Failure(QStringLiteral("Type mismatch in %1: field %2 is not %3")
                       .arg(m_fileName.isEmpty() ? QStringLiteral("the file") : m_fileName)
                       .arg(m_fields)
                       .arg(kind),
                   Failure::TypeMismatch);
}

double DelimitedReader::number()
{
    const QString f = field();
    if (f == QLatin1String("#TRUE#"))
        return -1;
    if (f == QLatin1String("#FALSE#"))
        return 0;
    if (f.isEmpty())
        return 0;
    if (!isNumeric(f))
        throw mismatch(QStringLiteral("a number"));
    return numericValue(f);
}

qint16 DelimitedReader::integer16()
{
    return roundToInt16(number());
}

qint32 DelimitedReader::integer32()
{
    return roundToInt32(number());
}

float DelimitedReader::single()
{
    return toSingle(number());
}

bool DelimitedReader::boolean()
{
    return number() != 0.0;
}

} // namespace halvex
