#include "data/CsvText.h"

namespace halvex {

QByteArray csvLine(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        QByteArray field = fields[i].toUtf8();
        if (field.contains(',') || field.contains('"') || field.contains('\r') ||
            field.contains('\n')) {
            field.replace("\"", "\"\"");
            field = '"' + field + '"';
        }
        line += field;
    }
    line += "\r\n";
    return line;
}

QList<QStringList> parseCsv(const QByteArray& text)
{
    QList<QStringList> rows;
    QStringList row;
    QByteArray field;
    bool quoted = false;
    bool rowStarted = false;
    const auto endField = [&] {
        row.append(QString::fromUtf8(field));
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        rows.append(row);
        row.clear();
        rowStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        switch (c) {
        case '"':
            quoted = true;
            rowStarted = true;
            break;
        case ',':
            endField();
            rowStarted = true;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRow();
            break;
        case '\n':
            endRow();
            break;
        default:
            field += c;
            rowStarted = true;
        }
    }
    if (!quoted && (rowStarted || !field.isEmpty()))
        endRow();
    return rows;
}

} // namespace halvex
