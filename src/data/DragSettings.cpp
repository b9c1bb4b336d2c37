#include "data/DragSettings.h"

#include "data/DelimitedText.h"
#include "data/ProgramFolder.h"
#include "platform/Failure.h"

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
    DelimitedReader in(bytes);
    try {
        s.ProTreeCountdown = in.single();
        s.ProTreeCommPortIndex = in.integer16();
        s.TrackName = in.text();
        s.SpeedTrapDistance = in.single();
        s.TrackLength = in.text();
        s.SpeedMultiplier = in.single();
        for (int i = 1; i <= 3; ++i)
            s.InterSensorDistance[i] = in.text();
        s.CoinBoxInstalled = in.integer16();
        s.CreditsPerCoinIndex = in.integer16();
        s.LedDisplayInstalled = in.integer16();
        s.LedDisplayCommPortIndex = in.integer16();
        s.Metric = in.boolean();
        s.RandomStartMin = in.integer16();
        s.RandomStartMaxIndex = in.integer16();
        s.NumberOfSensors = in.integer16();
        s.PreStageStage = in.boolean();
        s.InvertSignal = in.integer16();
        s.CopiesIndex = in.integer16();
        s.LargeFont = in.boolean();
    } catch (const Failure& f) {
        return {f.description()};
    }
    return {};
}

QByteArray settingsLine(const DragSettings& s)
{
    DelimitedWriter out;
    out.single(s.ProTreeCountdown)
        .integer(s.ProTreeCommPortIndex)
        .text(s.TrackName)
        .single(s.SpeedTrapDistance)
        .text(s.TrackLength)
        .single(s.SpeedMultiplier);
    for (int i = 1; i <= 3; ++i)
        out.text(s.InterSensorDistance[i]);
    out.integer(s.CoinBoxInstalled)
        .integer(s.CreditsPerCoinIndex)
        .integer(s.LedDisplayInstalled)
        .integer(s.LedDisplayCommPortIndex)
        .boolean(s.Metric)
        .integer(s.RandomStartMin)
        .integer(s.RandomStartMaxIndex)
        .integer(s.NumberOfSensors)
        .boolean(s.PreStageStage)
        .integer(s.InvertSignal)
        .integer(s.CopiesIndex)
        .boolean(s.LargeFont)
        .endLine();
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
