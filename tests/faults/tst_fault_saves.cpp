#include "FaultFolder.h"
#include "FaultRig.h"
#include "data/MasterList.h"
#include "data/MasterListEditor.h"
#include "data/Settings.h"
#include "periphery/Password.h"
#include "periphery/frmChangePassword.h"
#include "race/Credits.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace halvex;
using namespace halvex::test;

namespace {

using B = QByteArray;

enum class Fault
{
    FolderReadOnlyFileWritable,
    FolderAndFileReadOnly,
    ReadOnlyMount,
    FullDisk
};

enum class Save
{
    Settings,
    WindowState,
    Credits,
    ListAdd,
    ListRewrite,
    Password
};

const B kCredits = "12345\r\n";
const B kRacers = "\"Bob Diaz\"\r\n\"Carla\"\r\n";
const B kPassword = "\"secret\"\r\n";

QString fileOf(Save save)
{
    switch (save) {
    case Save::Settings:
        return kSettingsFileName;
    case Save::WindowState:
        return kWindowStateFileName;
    case Save::Credits:
        return kCreditsFileName;
    case Save::ListAdd:
    case Save::ListRewrite:
        return kRacersFileName;
    case Save::Password:
        return kPasswordFileName;
    }
    return {};
}

// Performs one save the way the operator makes it and returns the bytes it should leave.
B performSave(WindowRig& rig, Save save)
{
    HalvexApp& app = *rig.app;
    const ProgramFolder folder(rig.folder());
    switch (save) {
    case Save::Settings:
        settingsOk(rig, [](frmDragSettings& w) {
            w.txtEnterTrackName->setText(QStringLiteral("Oak Lane"));
        });
        return settingsLine(app.settings().record());
    case Save::WindowState: {
        rig.window().cmbClass->setEditText(QStringLiteral("Modified"));
        rig.window().SaveWindowState();
        WindowStateRecord expected = WindowRig::proTreeSetup();
        expected.ClassName = QStringLiteral("Modified");
        expected.CreditsColour = kColourGreen;
        return windowStateLine(expected);
    }
    case Save::Credits:
        rig.window().cmdCoin->click();
        return "12346\r\n";
    case Save::ListAdd:
    case Save::ListRewrite: {
        MasterListEditor editor(MasterListKind::Racers, rig.prompter, folder);
        editor.open();
        if (save == Save::ListRewrite) {
            editor.select(0);
            editor.remove();
            return "\"Carla\"\r\n";
        }
        // Longer than the page the file's last line sits in, so that a full disk takes a part.
        const QString name = QStringLiteral("Zed") + QString(5000, u'e');
        rig.prompter.inputAnswers.enqueue(name.toLower());
        editor.add();
        return kRacers + '"' + name.toLatin1() + "\"\r\n";
    }
    case Save::Password: {
        Password password(folder);
        frmChangePassword w(password, rig.prompter);
        w.txtCurrentPassword->setText(QStringLiteral("secret"));
        w.txtNewPassword->setText(QStringLiteral("new one"));
        w.txtReEnterPassword->setText(QStringLiteral("new one"));
        w.cmdOK->click();
        return "\"new one\"\r\n";
    }
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Save)

class TestFaultSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySaveUnderAFailingFolder_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Save>("save");
        QTest::addColumn<QString>("message"); // "%1" stands for the file's name, "%2" its path
        const struct
        {
            const char* name;
            Fault fault;
            const char* message;
        } faults[] = {
            {"read-only folder, writable file", Fault::FolderReadOnlyFileWritable, ""},
            {"read-only folder and file", Fault::FolderAndFileReadOnly,
             "Cannot write %1: Permission denied"},
            {"read-only mount", Fault::ReadOnlyMount,
             "Cannot write %1: Existing file %2 is not writable"},
            {"full disk", Fault::FullDisk, "Cannot write %1: No space left on device"},
        };
        const struct
        {
            const char* name;
            Save save;
            bool silent; // the routine ends silently at a failure
        } saves[] = {
            {"settings", Save::Settings, false},        {"window state", Save::WindowState, true},
            {"credits", Save::Credits, true},           {"list add", Save::ListAdd, false},
            {"list rewrite", Save::ListRewrite, false}, {"password", Save::Password, false}};
        for (const auto& f : faults) {
            for (const auto& s : saves) {
                QTest::addRow("%s: %s", f.name, s.name)
                    << f.fault << s.save << (s.silent ? QString() : QString::fromLatin1(f.message));
            }
        }
    }

    void everySaveUnderAFailingFolder()
    {
        QFETCH(Fault, fault);
        QFETCH(Save, save);
        QFETCH(QString, message);
        WindowRig rig;
        const bool mounts = fault == Fault::ReadOnlyMount || fault == Fault::FullDisk;
        TinyDisk disk(rig.folder(), 256 * 1024);
        if (mounts && !disk.mounted())
            QSKIP("a tmpfs can be mounted only by root, where the machine allows it");
        rig.settings.CoinBoxInstalled = 1;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kRacersFileName, kRacers);
        rig.writeFile(kCreditsFileName, kCredits);
        rig.writeFile(kPasswordFileName, kPassword);
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        rig.start();
        rig.prompter.clear();
        const QString name = fileOf(save);
        const QString path = rig.dir.filePath(name);
        const B before = fileBytes(path);

        B expected;
        switch (fault) {
        case Fault::FolderReadOnlyFileWritable:
        case Fault::FolderAndFileReadOnly: {
            const mode_t fileMode = fault == Fault::FolderReadOnlyFileWritable ? 0666 : 0444;
            for (const QString& entry : QDir(rig.folder()).entryList(QDir::Files))
                QCOMPARE(chmod(QFile::encodeName(rig.dir.filePath(entry)).constData(), fileMode),
                         0);
            QCOMPARE(chmod(QFile::encodeName(rig.folder()).constData(), 0555), 0);
            {
                const AsOrdinaryUser user;
                expected = performSave(rig, save);
            }
            QCOMPARE(chmod(QFile::encodeName(rig.folder()).constData(), 0755), 0);
            break;
        }
        case Fault::ReadOnlyMount:
            QVERIFY(disk.setReadOnly(true));
            expected = performSave(rig, save);
            QVERIFY(disk.setReadOnly(false));
            break;
        case Fault::FullDisk:
            disk.fill();
            expected = performSave(rig, save);
            break;
        }

        if (fault == Fault::FolderReadOnlyFileWritable) {
            // Nothing can be created beside the file, so it is written in place.
            QCOMPARE(rig.prompter.texts(), QStringList());
            QCOMPARE(fileBytes(path), expected);
        } else {
            QCOMPARE(rig.prompter.texts(),
                     message.isEmpty() ? QStringList() : QStringList{message.arg(name, path)});
            QCOMPARE(fileBytes(path), before);
        }
        // Nothing was left behind beside the data files.
        QStringList left = QDir(rig.folder()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left.size(), 7);
    }

    // A program killed at any moment of a save leaves the old file or the new one, whole.
    void killedInTheMiddleOfEverySave_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("settings") << 0;
        QTest::newRow("window state") << 1;
        QTest::newRow("credits") << 2;
        QTest::newRow("list rewrite") << 3;
        QTest::newRow("list add") << 4;
        QTest::newRow("password") << 5;
        QTest::newRow("export") << 6;
    }

    void killedInTheMiddleOfEverySave()
    {
        QFETCH(int, kind);
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        // Two versions of each file, large enough for a kill to land inside a write.
        const QString big = QString(300 * 1024, u'x');
        DragSettings one;
        one.TrackName = big;
        DragSettings two = one;
        two.TrackName = QString(200 * 1024, u'y');
        WindowStateRecord stateOne;
        stateOne.ClassName = big;
        WindowStateRecord stateTwo = stateOne;
        stateTwo.ClassName = QString(200 * 1024, u'y');
        QStringList namesOne, namesTwo;
        for (int i = 0; i < 20000; ++i) {
            namesOne.append(QStringLiteral("Racer %1").arg(i));
            namesTwo.append(QStringLiteral("Other %1").arg(i));
        }
        const B sheetOne = B(400 * 1024, '\x01'), sheetTwo = B(250 * 1024, '\x02');

        const QString file = kind == 0   ? kSettingsFileName
                             : kind == 1 ? kWindowStateFileName
                             : kind == 2 ? kCreditsFileName
                             : kind <= 4 ? kRacersFileName
                             : kind == 5 ? kPasswordFileName
                                         : QStringLiteral("Halvex Stats.xls");
        const QString path = dir.filePath(file);
        auto saveVersion = [&](int i) {
            switch (kind) {
            case 0:
                writeSettingsFile(path, i % 2 ? two : one);
                break;
            case 1: {
                WindowState state;
                state.save(folder, i % 2 ? stateTwo : stateOne);
                break;
            }
            case 2: {
                Credits credits(folder);
                credits.insertCoin(1);
                break;
            }
            case 3:
                writeNames(path, i % 2 ? namesTwo : namesOne);
                break;
            case 4:
                appendName(path, i % 2 ? big : QStringLiteral("Short Name"));
                break;
            case 5:
                Password(folder).write(i % 2 ? big : QStringLiteral("short"));
                break;
            case 6:
                writeFileAtomically(path, i % 2 ? sheetTwo : sheetOne);
                break;
            }
        };
        saveVersion(0);
        if (kind == 2)
            writeFile(path, "0\r\n");

        QRandomGenerator random(7);
        for (int round = 0; round < 12; ++round) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 1;; ++i)
                    saveVersion(i);
            }
            QTest::qSleep(int(random.bounded(5, 40)));
            QCOMPARE(kill(child, SIGKILL), 0);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status));

            const B now = fileBytes(path);
            switch (kind) {
            case 0:
                QVERIFY(now == settingsLine(one) || now == settingsLine(two));
                break;
            case 1:
                QVERIFY(now == windowStateLine(stateOne) || now == windowStateLine(stateTwo));
                break;
            case 2:
                QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\r\\n$"))
                             .match(QString::fromLatin1(now))
                             .hasMatch(),
                         now.constData());
                break;
            case 3:
                QVERIFY(readNames(path) == namesOne || readNames(path) == namesTwo);
                break;
            case 4:
                QVERIFY(now.endsWith("\r\n"));
                for (const QString& name : readNames(path))
                    QVERIFY(name == big || name == QStringLiteral("Short Name"));
                break;
            case 5:
                QVERIFY(now == "\"short\"\r\n" || now == "\"" + big.toLatin1() + "\"\r\n");
                break;
            case 6:
                QVERIFY(now == sheetOne || now == sheetTwo);
                break;
            }
        }
    }
};

QTEST_MAIN(TestFaultSaves)
#include "tst_fault_saves.moc"
