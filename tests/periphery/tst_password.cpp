#include "periphery/Password.h"
#include "periphery/frmChangePassword.h"
#include "periphery/frmDragLoginSetup.h"
#include "support/ModalWindows.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loginComparesExactly()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("PASSWORD.dat")), "\"Pit Boss \"\r\n");
        ScriptedPrompter prompter;
        Password password{ProgramFolder(dir.path())};
        for (const char* typed : {"pit boss ", "Pit Boss", "Pit Boss "}) {
            frmDragLoginSetup login(password, prompter);
            QSignalSpy in(&login, &frmDragLoginSetup::loggedIn);
            login.txtPassword->setText(QString::fromLatin1(typed));
            login.cmdOK->click();
            QCOMPARE(in.size(), QString::fromLatin1(typed) == password.stored() ? 1 : 0);
        }
        QCOMPARE(prompter.texts(),
                 QStringList(2, QStringLiteral("Invalid Password, Password is case sensitive try "
                                               "again!")));
        QCOMPARE(prompter.messages[0].title, QStringLiteral("Login"));

        // Esc chooses Change Password.
        frmDragLoginSetup login(password, prompter);
        QSignalSpy change(&login, &frmDragLoginSetup::changePasswordChosen);
        QTest::keyClick(&login, Qt::Key_Escape);
        QCOMPARE(change.size(), 1);
    }

    void changingThePassword()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Password.DAT"));
        writeFile(file, "\"old\"\r\n");
        ScriptedPrompter prompter;
        Password password{ProgramFolder(dir.path())};
        frmChangePassword w(password, prompter);
        QSignalSpy changed(&w, &frmChangePassword::passwordChanged);
        const struct
        {
            const char* current;
            const char* fresh;
            const char* again;
            const char* message;
        } refused[] = {
            {"OLD", "new", "new", "Current Password is not correct"},
            {"old", "new", "New", "Password must be the same in both boxes"},
            {"old", "", "", "Password can not be blank"},
        };
        for (const auto& r : refused) {
            w.txtCurrentPassword->setText(QString::fromLatin1(r.current));
            w.txtNewPassword->setText(QString::fromLatin1(r.fresh));
            w.txtReEnterPassword->setText(QString::fromLatin1(r.again));
            w.cmdOK->click();
            QCOMPARE(prompter.texts().last(), QString::fromLatin1(r.message));
        }
        QCOMPARE(changed.size(), 0);
        w.txtNewPassword->setText(QStringLiteral("new one"));
        w.txtReEnterPassword->setText(QStringLiteral("new one"));
        w.cmdOK->click();
        QCOMPARE(changed.size(), 1);
        // Written over the file that is there, whatever the case of its name.
        QCOMPARE(fileBytes(file), QByteArray("\"new one\"\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Password.DAT"});
        frmDragLoginSetup login(password, prompter);
        QCOMPARE(password.stored(), QStringLiteral("new one"));
    }

    void aFirstStartLetsAnEmptyPasswordInAndTheMenuLeadsToTheSettings()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        // No password file: its failure is shown, and an empty password opens the settings.
        whenModalShown("frmDragLoginSetup", [](QWidget* login) {
            login->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        bool settingsShown = false;
        whenModalShown("frmDragSettings", [&](QWidget* settings) {
            settingsShown = true;
            settings->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        w.mnuSettingsSettings->trigger();
        QTRY_VERIFY(settingsShown);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("File not found: password.dat")});
        // The state was saved before the login window opened.
        QVERIFY(fileBytes(rig.dir.filePath(kWindowStateFileName)).startsWith("\"Stock\",3,"));
    }
};

QTEST_MAIN(TestPassword)
#include "tst_password.moc"
