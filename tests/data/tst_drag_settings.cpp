#include "data/DragSettings.h"
#include "data/MasterListEditor.h"
#include "platform/Failure.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

DragSettings sample()
{
    DragSettings s;
    s.ProTreeCountdown = 0.4f;
    s.ProTreeCommPortIndex = 2;
    s.TrackName = QStringLiteral("Raceway, North");
    s.SpeedTrapDistance = 100;
    s.TrackLength = QStringLiteral("66 ft");
    s.SpeedMultiplier = -0.25f;
    s.InterSensorDistance[1] = QStringLiteral("10 ft");
    s.InterSensorDistance[2] = QStringLiteral("20 ft");
    s.InterSensorDistance[3] = QStringLiteral("12 in");
    s.CoinBoxInstalled = 1;
    s.CreditsPerCoinIndex = 4;
    s.LedDisplayInstalled = 0;
    s.LedDisplayCommPortIndex = 3;
    s.Metric = true;
    s.RandomStartMin = 2;
    s.RandomStartMaxIndex = -1;
    s.NumberOfSensors = 2;
    s.PreStageStage = true;
    s.InvertSignal = 1;
    s.CopiesIndex = 1;
    s.LargeFont = false;
    return s;
}

} // namespace

class TestDragSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writtenAndReadBackFieldForField()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        writeSettingsFile(path, sample());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 QByteArray(".4,2,\"Raceway, North\",100,\"66 ft\",-.25,\"10 ft\",\"20 ft\","
                            "\"12 in\",1,4,0,3,#TRUE#,2,-1,2,#TRUE#,1,1,#FALSE#\r\n"));
        DragSettings back;
        QCOMPARE(readSettingsFile(path, back), QStringList());
        QCOMPARE(back, sample());
        QCOMPARE(back.ProTreeCountdown, 0.4f);
        QCOMPARE(back.portNumber(), 3);
    }

    void aShortLineKeepsTheFieldsItDoesNotReach()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dragracingsettings.DAT"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("0.6,1,\"Strip\",12\n");
        f.close();
        DragSettings s = sample();
        const QStringList failures = readSettingsFile(path, s);
        QCOMPARE(failures, QStringList{QStringLiteral("Input past end of file")});
        QCOMPARE(s.ProTreeCountdown, 0.6f);
        QCOMPARE(s.ProTreeCommPortIndex, qint16(1));
        QCOMPARE(s.TrackName, QStringLiteral("Strip"));
        QCOMPARE(s.SpeedTrapDistance, 12.0f);
        QCOMPARE(s.TrackLength, QStringLiteral("66 ft"));
        QVERIFY(s.Metric);
    }

    void aMissingFileFailsTwiceAndChangesNothing()
    {
        QTemporaryDir dir;
        DragSettings s = sample();
        QCOMPARE(readSettingsFile(dir.filePath(kSettingsFileName), s).size(), 2);
        QCOMPARE(s, sample());
        // A file that cannot be replaced leaves the old one whole.
        QVERIFY_THROWS_EXCEPTION(
            Failure, writeSettingsFile(dir.filePath(QStringLiteral("no/such/folder.dat")), s));
    }

    void distanceTextsAreNormalised()
    {
        QCOMPARE(normaliseDistanceText(QStringLiteral("  66' ")), QStringLiteral("66 ft"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("12\"")), QStringLiteral("12 in"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("5'6\"")), QStringLiteral("5 ft6 in"));
        QCOMPARE(normaliseDistanceText(QStringLiteral("   ")), QString());
    }

    void anUnreadableListIsNeverRewritten()
    {
        // A folder where the racer file should be: there, but not readable as a list.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("DragRacers.dat")));
        ScriptedPrompter prompter;
        MasterListEditor editor(MasterListKind::Racers, prompter, ProgramFolder(dir.path()));
        editor.open();
        QCOMPARE(prompter.messages.size(), 1);
        editor.modify();
        QCOMPARE(prompter.messages.size(), 2);
        QCOMPARE(prompter.messages[1].text,
                 QStringLiteral("DragRacers.dat could not be read, so it is not rewritten: the "
                                "names it holds would be lost."));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("DragRacers.dat"))).isDir());
    }
};

QTEST_GUILESS_MAIN(TestDragSettings)
#include "tst_drag_settings.moc"
