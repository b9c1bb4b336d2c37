#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace halvex {

inline const QString kSettingsFileName = QStringLiteral("DragRacingSettings.dat");

// The installation's configuration, in the order of its file.
struct DragSettings
{
    float ProTreeCountdown = 0;
    qint16 ProTreeCommPortIndex = 0;
    QString TrackName;
    float SpeedTrapDistance = 0;
    QString TrackLength;
    float SpeedMultiplier = 0;
    // Slots 1 to 5; slot 0 is unused. Only 1 to 3 are edited, stored and read.
    std::array<QString, 6> InterSensorDistance;
    qint16 CoinBoxInstalled = 0;
    qint16 CreditsPerCoinIndex = 0;
    qint16 LedDisplayInstalled = 0;
    qint16 LedDisplayCommPortIndex = 0;
    bool Metric = false;
    qint16 RandomStartMin = 0;
    qint16 RandomStartMaxIndex = 0;
    qint16 NumberOfSensors = 0;
    bool PreStageStage = false;
    qint16 InvertSignal = 0;
    qint16 CopiesIndex = 0;
    bool LargeFont = false;

    int portNumber() const { return ProTreeCommPortIndex + 1; }

    bool operator==(const DragSettings&) const = default;
};

// The fields of the settings file in their order, for reading (a DelimitedReader and a record)
// and writing (a DelimitedWriter and a const record) alike.
template <class Io, class Record> void settingsFields(Io& io, Record& s)
{
    io(s.ProTreeCountdown);
    io(s.ProTreeCommPortIndex);
    io(s.TrackName);
    io(s.SpeedTrapDistance);
    io(s.TrackLength);
    io(s.SpeedMultiplier);
    for (int i = 1; i <= 3; ++i)
        io(s.InterSensorDistance[i]);
    io(s.CoinBoxInstalled);
    io(s.CreditsPerCoinIndex);
    io(s.LedDisplayInstalled);
    io(s.LedDisplayCommPortIndex);
    io(s.Metric);
    io(s.RandomStartMin);
    io(s.RandomStartMaxIndex);
    io(s.NumberOfSensors);
    io(s.PreStageStage);
    io(s.InvertSignal);
    io(s.CopiesIndex);
    io(s.LargeFont);
}

// Fills the record field by field. Returns the descriptions of the failures met, in order: a
// missing file gives two (not found, then not open); a short line gives one and keeps the
// remaining fields as they were.
QStringList readSettingsFile(const QString& path, DragSettings& settings);
// Throws halvex::Failure when the file cannot be written; the old file then stays whole.
void writeSettingsFile(const QString& path, const DragSettings& settings);

QByteArray settingsLine(const DragSettings& settings);

// Distance texts as stored: trimmed, every double quote replaced by " in", every apostrophe by
// " ft" (66' becomes "66 ft").
QString normaliseDistanceText(const QString& text);

} // namespace halvex
