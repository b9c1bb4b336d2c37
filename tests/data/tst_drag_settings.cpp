#include "data/DragSettings.h"
#include "platform/Failure.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

const DragSettings kSample{.ProTreeCountdown = .4f,
                           .ProTreeCommPortIndex = 2,
                           .TrackName = QStringLiteral("Raceway, North"),
                           .SpeedTrapDistance = 100,
                           .TrackLength = QStringLiteral("66 ft"),
                           .SpeedMultiplier = -.25f,
                           .InterSensorDistance = {{{}, "10 ft", "20 ft", "12 in"}},
                           .CoinBoxInstalled = 1,
                           .CreditsPerCoinIndex = 4,
                           .LedDisplayCommPortIndex = 3,
                           .Metric = true,
                           .RandomStartMin = 2,
                           .RandomStartMaxIndex = -1,
                           .NumberOfSensors = 2,
                           .PreStageStage = true,
                           .InvertSignal = 1,
                           .CopiesIndex = 1};

const QByteArray kSampleLine = ".4,2,\"Raceway, North\",100,\"66 ft\",-.25,\"10 ft\",\"20 ft\","
                               "\"12 in\",1,4,0,3,#TRUE#,2,-1,2,#TRUE#,1,1,#FALSE#\r\n";

} // namespace

class TestDragSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath(kSettingsFileName); }

private Q_SLOTS:
    void writtenAndReadBackFieldForField()
    {
        writeSettingsFile(path(), kSample);
        QCOMPARE(fileBytes(path()), kSampleLine);
        DragSettings back;
        QCOMPARE(readSettingsFile(path(), back), QStringList());
        QCOMPARE(back, kSample);
    }

    void aFailedReadKeepsTheFieldsItDoesNotReach()
    {
        DragSettings s = kSample;
        QCOMPARE(readSettingsFile(dir.filePath(QStringLiteral("none.dat")), s),
                 QStringList({"File not found: none.dat",
                              "Bad file name or number: none.dat is not open"}));
        QCOMPARE(s, kSample);
        writeFile(path(), "0.6,1,\"Strip\",12\n");
        QCOMPARE(readSettingsFile(path(), s), QStringList{"Input past end of file"});
        DragSettings expected = kSample;
        expected.ProTreeCountdown = .6f;
        expected.ProTreeCommPortIndex = 1;
        expected.TrackName = QStringLiteral("Strip");
        expected.SpeedTrapDistance = 12;
        QCOMPARE(s, expected);
    }

    void distanceTextsAreNormalised()
    {
        QCOMPARE(normaliseDistanceText(QStringLiteral("  66' ")), QStringLiteral("66 ft"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("5'6\"")), QStringLiteral("5 ft6 in"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("   ")), QString());
    }
};

QTEST_GUILESS_MAIN(TestDragSettings)
#include "tst_drag_settings.moc"
