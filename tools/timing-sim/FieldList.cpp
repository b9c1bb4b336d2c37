#include "FieldList.h"

namespace halvex::sim {

std::optional<QList<qint32>> parseFieldList(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        return std::nullopt;
    }
    QList<qint32> fields;
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const qint32 value = item.trimmed().toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
        fields.append(value);
    }
    return fields;
}

} // namespace halvex::sim
