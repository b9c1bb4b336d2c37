#include "data/DragSettings.h"

#include "data/DelimitedText.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace halvex {

QStringList readSettingsFile(const QString& path, DragSettings& s)
{
    QByteArray bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const Failure& f) {
        // Reading from a file that never opened fails in its turn.
        return {f.description(), QStringLiteral("Bad file name or number: %1 is not open")
                                     .arg(QFileInfo(path).fileName())};
    }
    DelimitedReader in(bytes, QFileInfo(path).fileName());
    try {
        settingsFields(in, s);
    } catch (const Failure& f) {
        return {f.description()};
    }
    return {};
}

QByteArray settingsLine(const DragSettings& s)
{
    DelimitedWriter out;
    settingsFields(out, s);
    out.endLine();
    return out.bytes();
}

void writeSettingsFile(const QString& path, const DragSettings& s)
{
    writeFileAtomically(path, settingsLine(s));
}

QString normaliseDistanceText(const QString& text)
{
    QString t = text.trimmed();
    t.replace(u'"', QLatin1String(" in"));
    t.replace(u'\'', QLatin1String(" ft"));
    return t;
}

} // namespace halvex
