#include "FaultFolder.h"
#include "FaultRig.h"
#include "data/Cp1252.h"
#include "data/MasterList.h"
#include "data/MasterListEditor.h"
#include "data/Settings.h"
#include "periphery/Password.h"
#include "periphery/frmChangePassword.h"
#include "race/Credits.h"
#include "settings/frmDragSettings.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabBar>
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

// Performs one save the way the operator makes it and returns the bytes it should leave;
// whether the window that saved closed.
B performSave(WindowRig& rig, Save save, bool& closed)
{
    HalvexApp& app = *rig.app;
    const ProgramFolder folder(rig.folder());
    switch (save) {
    case Save::Settings:
        closed = settingsOk(rig, [](frmDragSettings& w) {
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
        w.show();
        w.cmdOK->click();
        closed = w.isHidden();
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
        bool closed = true;
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
                expected = performSave(rig, save, closed);
            }
            QCOMPARE(chmod(QFile::encodeName(rig.folder()).constData(), 0755), 0);
            break;
        }
        case Fault::ReadOnlyMount:
            QVERIFY(disk.setReadOnly(true));
            expected = performSave(rig, save, closed);
            QVERIFY(disk.setReadOnly(false));
            break;
        case Fault::FullDisk:
            disk.fill();
            expected = performSave(rig, save, closed);
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
        // A window whose save failed stays open, so that what the operator entered is not lost.
        if (save == Save::Settings || save == Save::Password)
            QCOMPARE(closed, fault == Fault::FolderReadOnlyFileWritable);
        // Nothing was left behind beside the data files.
        QStringList left = QDir(rig.folder()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left.size(), 7);
    }

    // A password or track name the files cannot hold would be written as "?": refused instead.
    // On the way, the windows as the operator meets them: tabs by key, passwords as "*".
    void aTextTheFilesCannotHoldIsRefused()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeFile(kPasswordFileName, kPassword);
        rig.start();
        rig.prompter.clear();
        const B settingsBefore = fileBytes(rig.dir.filePath(kSettingsFileName));
        QVERIFY(!settingsOk(rig, [](frmDragSettings& w) {
            // A tab chosen with a key shows its own frame, as a click does.
            QTest::keyClick(w.TabStrip1, Qt::Key_Right);
            QVERIFY(w.Frame1[2]->isVisible() && w.Frame1[1]->isHidden());
            w.txtEnterTrackName->setText(QStringLiteral("Łódź Raceway"));
        }));
        Password password(ProgramFolder(rig.folder()));
        frmChangePassword w(password, rig.prompter);
        w.txtCurrentPassword->setText(QStringLiteral("secret"));
        w.txtNewPassword->setText(QStringLiteral("π1"));
        w.txtReEnterPassword->setText(QStringLiteral("π1"));
        w.show();
        QCOMPARE(w.txtNewPassword->displayText(), QStringLiteral("**"));
        w.cmdOK->click();
        QVERIFY(w.isVisible());
        QCOMPARE(rig.prompter.texts(), QStringList({unstorableMessage(QStringLiteral("Ł")),
                                                    unstorableMessage(QStringLiteral("π"))}));
        QCOMPARE(fileBytes(rig.dir.filePath(kSettingsFileName)), settingsBefore);
        QCOMPARE(fileBytes(rig.dir.filePath(kPasswordFileName)), kPassword);
    }

    // Every save goes through one atomic replace: a program killed at any moment of it leaves
    // the old file or the new one, whole. (That each save uses it, the failing folders show.)
    void killedInTheMiddleOfASave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        // Large enough for a kill to land inside a write.
        const B one(400 * 1024, '\x01'), two(250 * 1024, '\x02');
        writeFileAtomically(path, one);
        QRandomGenerator random(7);
        for (int round = 0; round < 12; ++round) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 1;; ++i)
                    writeFileAtomically(path, i % 2 ? two : one);
            }
            QTest::qSleep(int(random.bounded(5, 40)));
            QCOMPARE(kill(child, SIGKILL), 0);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status));
            const B now = fileBytes(path);
            QVERIFY(now == one || now == two);
        }
    }
};

QTEST_MAIN(TestFaultSaves)
#include "tst_fault_saves.moc"
