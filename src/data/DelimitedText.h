#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

class Failure;

// The line format of every data file of the program: fields separated by commas, lines ended by
// CR LF, texts in double quotes written unchanged, integers in decimal, singles in their shortest
// form (".4", "100", "-.25"), Booleans as #TRUE# / #FALSE#; one byte per character.
class DelimitedWriter
{
public:
    DelimitedWriter& text(const QString& value);
    DelimitedWriter& integer(qint64 value);
    DelimitedWriter& single(float value);
    DelimitedWriter& boolean(bool value);
    // Ends the current line with CR LF.
    DelimitedWriter& endLine();

    // One field by its type, so a record's field list serves both writing and reading.
    void operator()(const QString& value) { text(value); }
    void operator()(qint16 value) { integer(value); }
    void operator()(qint32 value) { integer(value); }
    void operator()(float value) { single(value); }
    void operator()(bool value) { boolean(value); }

    const QByteArray& bytes() const { return m_bytes; }

private:
    void separate();

    QByteArray m_bytes;
    bool m_lineStarted = false;
};

// A single as the files hold it: at most 7 significant digits, no leading zero before the point.
QString formatSingle(float value);

// Reads fields one at a time across lines. Reading past the last field throws the input-past-end
// Failure, so a short line leaves the fields not yet read untouched in the caller; a number field
// that holds no number (an empty one reads as 0), or a text field that holds a control character,
// throws a type mismatch, so a damaged file is taken neither as zeros nor as names of garbage.
class DelimitedReader
{
public:
    // The file's name goes into the message that reports a damaged field.
    explicit DelimitedReader(QByteArray bytes, QString fileName = {});

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    QString text();
    qint16 integer16();
    qint32 integer32();
    float single();
    bool boolean();

    void operator()(QString& value) { value = text(); }
    void operator()(qint16& value) { value = integer16(); }
    void operator()(qint32& value) { value = integer32(); }
    void operator()(float& value) { value = single(); }
    void operator()(bool& value) { value = boolean(); }

private:
    QString field();
    double number();
    Failure mismatch(const QString& kind) const;

    QByteArray m_bytes;
    QString m_fileName;
    qsizetype m_pos = 0;
    int m_fields = 0;
};

} // namespace halvex
