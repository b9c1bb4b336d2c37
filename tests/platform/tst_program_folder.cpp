#include "platform/Failure.h"
#include "platform/Module.h"
#include "platform/ProgramFolder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestProgramFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Which folder holds the operator's files and which the shipped ones: folder-choices.tsv.
    void choice_data() { addTableRows(QFINDTESTDATA("folder-choices.tsv"), 5); }
    void choice()
    {
        QFETCH(QStringList, row);
        const ProgramFolder folder = ProgramFolder::choose(row[1], "/b/bin", row[2], "/d");
        QCOMPARE(folder.dir(), row[3]);
        QCOMPARE(folder.shippedPath("TIPOFDAY.txt"), row[4] + "/TIPOFDAY.txt");
    }

    void installedPlaces()
    {
        QTemporaryDir prefix;
        QDir(prefix.path()).mkpath("bin");
        QDir(prefix.path()).mkpath("build");
        QCOMPARE(installedShareDir(prefix.filePath("bin")), QString());
        QDir(prefix.path()).mkpath("share/halvex/sample-home");
        QCOMPARE(installedShareDir(prefix.filePath("bin")), prefix.filePath("share/halvex"));
        // Only a bin folder is an installation's.
        QCOMPARE(installedShareDir(prefix.filePath("build")), QString());

        // The program's own files: beside the executable (a build tree) before the installation's.
        const QString bin = prefix.filePath("bin");
        QCOMPARE(programFilePath(bin, "halvex-sound.so"), bin + "/halvex-sound.so");
        QDir(prefix.path()).mkpath("lib/halvex");
        writeFile(prefix.filePath("lib/halvex/halvex-sound.so"), "");
        QCOMPARE(programFilePath(bin, "halvex-sound.so"),
                 prefix.filePath("lib/halvex/halvex-sound.so"));
        writeFile(bin + "/halvex-sound.so", "");
        QCOMPARE(programFilePath(bin, "halvex-sound.so"), bin + "/halvex-sound.so");
    }

    void layingOutKeepsWhatIsThere()
    {
        QTemporaryDir sample, data;
        writeFile(sample.filePath("DragCars.dat"), "Car\r\n");
        writeFile(sample.filePath("DragRacingSettings.dat"), "settings\r\n");
        // The operator linked the port before the first run.
        const QString home = data.filePath("halvex");
        QDir().mkpath(home);
        QVERIFY(QFile::link("/dev/null", home + "/COM1"));
        layOutProgramFolder(sample.path(), home);
        QCOMPARE(fileBytes(home + "/DragCars.dat"), QByteArray("Car\r\n"));
        QCOMPARE(fileBytes(home + "/DragRacingSettings.dat"), QByteArray("settings\r\n"));
        QCOMPARE(QFileInfo(home + "/COM1").symLinkTarget(), QStringLiteral("/dev/null"));
        QVERIFY(QFileInfo(home + "/Halvex Stats").isDir());

        // Laid out before: a deleted list stays deleted, an edited one (its name in other case)
        // keeps its bytes.
        QVERIFY(QFile::remove(home + "/DragCars.dat"));
        QVERIFY(QFile::rename(home + "/DragRacingSettings.dat", home + "/dragracingsettings.DAT"));
        writeFile(home + "/dragracingsettings.DAT", "mine\r\n");
        layOutProgramFolder(sample.path(), home);
        QCOMPARE(QDir(home).entryList(QDir::Files | QDir::System),
                 QStringList({"COM1", "dragracingsettings.DAT"}));
        QCOMPARE(fileBytes(home + "/dragracingsettings.DAT"), QByteArray("mine\r\n"));

        // A folder that cannot be made is a failure that names it.
        writeFile(data.filePath("file"), "x");
        QCOMPARE(failureOf([&] {
                     layOutProgramFolder(sample.path(), data.filePath("file/halvex"));
                 }).description(),
                 "Cannot make the program folder " + data.filePath("file/halvex"));
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_program_folder.moc"
