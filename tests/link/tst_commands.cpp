#include "link/CommandEncoding.h"
#include "link/ModCommand.h"
#include "link/PortDevice.h"
#include "platform/Failure.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestCommands : public QObject
{
    Q_OBJECT

    struct Rig
    {
        MemoryPort port;
        ScriptedPrompter prompter;
        SteppingClock clock;
        bool demo = false;
        bool raceOk = true;
        ModCommand command{port, prompter, clock, demo, raceOk};
        Rig() { port.opened = true; }
    };

private Q_SLOTS:
    void handicapWritesTheLetterLineThenBothDelays()
    {
        const struct
        {
            const char* left;
            const char* right;
            QByteArray lines;
        } cases[] = {
            {"7.500", "7.500", "0\n0\n"},   {"7.500", "7.250", "0\n2500\n"},
            {"7.5", "9.8", "23000\n0\n"},   {"0.000", "0.000", "0\n0\n"},
            {"10", "6.7233", "0\n32767\n"},
        };
        for (const auto& c : cases) {
            Rig rig;
            rig.command.SendHandicap(QString::fromLatin1(c.left), QString::fromLatin1(c.right));
            QCOMPARE(rig.port.writes, (QList<QByteArray>{"A\n", c.lines}));
            QVERIFY(rig.prompter.messages.isEmpty());
        }
    }

    void handicapFailuresAreReportedAndWriteNothing()
    {
        const struct
        {
            const char* left;
            const char* right;
            bool open;
            QString message;
        } cases[] = {
            {"7.5", "10.8", true, QStringLiteral("Overflow")},
            {"abc", "7.0", true, QStringLiteral("Type mismatch")},
            {"7.0", "", true, QStringLiteral("Type mismatch")},
            {"0.000", "0.000", false, QStringLiteral("Operation valid only when the port is open")},
        };
        for (const auto& c : cases) {
            Rig rig;
            rig.port.opened = c.open;
            rig.command.SendHandicap(QString::fromLatin1(c.left), QString::fromLatin1(c.right));
            QVERIFY(rig.port.writes.isEmpty());
            QCOMPARE(rig.prompter.messages.size(), 1);
            QCOMPARE(rig.prompter.messages[0].text, c.message);
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
        }
    }

    void plainCommandsAreTheirLettersAndOneLineFeed()
    {
        Rig rig;
        rig.command.SendCountdown(0.6f);
        rig.command.SendCountdown(0.4f);
        rig.command.SendSignalPolarity(1);
        rig.command.SendSignalPolarity(0);
        rig.command.SendSignalPolarity(2);
        rig.command.SendStagingMode(true);
        rig.command.SendStagingMode(false);
        rig.command.SendLaneLights(true);
        rig.command.SendLaneLights(false);
        rig.command.send("O");
        QCOMPARE(rig.port.writes,
                 (QList<QByteArray>{"B", "6000\n", "B", "4000\n", "Y\n", "X\n", "X\n", "R\n", "S\n",
                                    "GL21\n", "GR21\n", "GL20\n", "GR20\n", "O\n"}));
        QVERIFY(!rig.port.written().contains('\r'));
    }

    void demoModeSilencesEveryCommandButTheRaceRoutinesOwn()
    {
        Rig rig;
        rig.demo = true;
        rig.command.SendHandicap(QStringLiteral("7.5"), QStringLiteral("10.8"));
        rig.command.SendCountdown(0.4f);
        rig.command.SendSignalPolarity(1);
        rig.command.SendStagingMode(true);
        rig.command.SendLaneLights(true);
        rig.command.send("GL81");
        QVERIFY(rig.port.writes.isEmpty());
        QVERIFY(rig.prompter.messages.isEmpty());
        rig.command.sendUngated("N");
        QCOMPARE(rig.port.writes, QList<QByteArray>{"N\n"});
    }

    void aClosedPortThrowsForTheCallerToReport()
    {
        Rig rig;
        rig.port.opened = false;
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.send("O"));
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.SendCountdown(0.4f));
    }

    void replyIsReadUntilTheEndMark()
    {
        Rig rig;
        rig.port.incoming = "100\n200\n";
        rig.port.answerOnWait = "300\n!\n";
        rig.command.ReadRaceReply();
        QVERIFY(rig.raceOk);
        QCOMPARE(rig.command.RaceReply[1], 100);
        QCOMPARE(rig.command.RaceReply[3], 300);
        QCOMPARE(rig.command.RaceReply[4], 0);
        QVERIFY(rig.prompter.messages.isEmpty());
    }

    void aStrayAnswerIsDroppedBeforeTheRaceCommand()
    {
        Rig rig;
        rig.port.incoming = "1\n2\n3\n!\n";
        rig.command.sendUngated("P");
        rig.port.answerOnWait = "9\n8\n7\n!\n";
        rig.command.ReadRaceReply();
        QCOMPARE(rig.command.RaceReply[1], 9);
        QCOMPARE(rig.command.RaceReply[3], 7);
    }

    void aReplyThatNeverEndsTimesOutAndKeepsTheOldNumbers()
    {
        for (const QByteArray& reply :
             {QByteArray("1\n2\n!\r\n"), QByteArray("1\n2\n!\nX"), QByteArray()}) {
            Rig rig;
            rig.clock.stepSeconds = 1;
            rig.command.RaceReply[5] = 4242;
            rig.command.DiagReply[1] = 17;
            rig.port.incoming = reply;
            rig.command.ReadRaceReply();
            QVERIFY(!rig.raceOk);
            QCOMPARE(rig.command.RaceReply[5], 4242);
            QCOMPARE(rig.prompter.messages.size(), 1);
            QCOMPARE(rig.prompter.messages[0].text,
                     QStringLiteral("Problem transmitting data. Verify connections and port "
                                    "settings."));
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
            // Whole seconds: the limit is passed only once the clock reads start + 21 s (the
            // clock has moved one step past its last reading).
            QCOMPARE(rig.clock.seconds, 22);

            rig.raceOk = true;
            rig.command.ReadDiagReply();
            QVERIFY(!rig.raceOk);
            QCOMPARE(rig.command.DiagReply[1], 17);
        }
    }

    void diagnosticsReplyKeepsTwoMasks()
    {
        Rig rig;
        rig.port.incoming = "64\n0\n255\n!\n";
        rig.command.ReadDiagReply();
        QCOMPARE(rig.command.DiagReply[1], 64);
        QCOMPARE(rig.command.DiagReply[2], 0);
    }

    void portNumbersMapToTheProgramFoldersLinksOrTheSerialDevices()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        QFile target(dir.filePath(QStringLiteral("device")));
        QVERIFY(target.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(target.fileName(), dir.filePath(QStringLiteral("com2"))));
        QCOMPARE(portDevice(folder, 2, dir.filePath(QStringLiteral("none"))),
                 dir.filePath(QStringLiteral("com2")));
        QFile dev2(dir.filePath(QStringLiteral("dev2")));
        QVERIFY(dev2.open(QIODevice::WriteOnly));
        QCOMPARE(portDevice(folder, 3, dir.filePath(QStringLiteral("dev"))), dev2.fileName());

        // A link whose device has gone counts as missing, like a number outside 1 to 4.
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                            dir.filePath(QStringLiteral("COM4"))));
        for (int number : {0, 4, 5, -1}) {
            try {
                portDevice(folder, number, dir.filePath(QStringLiteral("none")));
                QFAIL("an invalid port number was accepted");
            } catch (const Failure& f) {
                QCOMPARE(f.code(), int(Failure::InvalidPortNumber));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
