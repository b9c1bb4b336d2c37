#include "link/CommandEncoding.h"
#include "link/ModCommand.h"
#include "link/PortDevice.h"
#include "platform/Failure.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

using namespace halvex;
using namespace halvex::test;

class TestCommands : public QObject
{
    Q_OBJECT

    struct Rig
    {
        MemoryPort port;
        ScriptedPrompter prompter;
        SystemClock clock;
        ModCommand command{port, prompter, clock};
        Rig()
        {
            port.opened = true;
            // Whole steps of 100 ms: the time-out comes 200 to 300 ms after the command.
            command.setTimeLimit(200ms, 100ms);
        }
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
            QVERIFY(rig.command.SendHandicap(QString::fromLatin1(c.left),
                                             QString::fromLatin1(c.right)));
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
            QVERIFY(!rig.command.SendHandicap(QString::fromLatin1(c.left),
                                              QString::fromLatin1(c.right)));
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
        // A closed port is the caller's failure to report.
        rig.port.opened = false;
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.send("O"));
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.SendCountdown(0.4f));
    }

    void demoModeSilencesEveryCommandButTheRaceRoutinesOwn()
    {
        Rig rig;
        rig.command.setDemoMode(true);
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

    void aReplyArrivesInPiecesWhileTheEventLoopTurns()
    {
        Rig rig;
        // What waits from before the race command is dropped; the unit's answer then comes in
        // three chunks, the end mark split across two of them.
        rig.port.incoming = "1\n2\n3\n!\n";
        rig.command.sendUngated("P");
        QTimer::singleShot(20, [&] { rig.port.arrive("100\n200"); });
        QTimer::singleShot(40, [&] { rig.port.arrive("\n300\n!"); });
        QTimer::singleShot(60, [&] {
            QVERIFY(rig.command.isWaiting());
            rig.port.arrive("\n");
        });
        const std::optional<RaceReply> reply = rig.command.ReadRaceReply();
        QVERIFY(reply);
        QVERIFY(!rig.command.isWaiting());
        QCOMPARE((*reply)[1], 100);
        QCOMPARE((*reply)[3], 300);
        QCOMPARE((*reply)[4], 0);
        QVERIFY(rig.prompter.messages.isEmpty());

        // A diagnostics reply keeps two masks, read without a nested loop; a field past 32 bits
        // makes it malformed.
        rig.port.incoming = "64\n0\n255\n!\n";
        QList<ModCommand::DiagRead> reads;
        rig.command.ReadDiagReplyLater(&rig.port, [&](const auto& r) { reads.append(r); });
        QVERIFY(!rig.command.isWaiting());
        QTRY_COMPARE(reads.size(), 1);
        QVERIFY(reads[0].reply);
        QCOMPARE((*reads[0].reply)[1], 64);
        QCOMPARE((*reads[0].reply)[2], 0);
        rig.port.incoming = "1\n99999999999\n!\n";
        rig.command.ReadDiagReplyLater(&rig.port, [&](const auto& r) { reads.append(r); });
        QTRY_COMPARE(reads.size(), 2);
        QVERIFY(!reads[1].reply && !reads[1].timedOut);
        // Past what a double holds, a field is no smaller: a race's reply overflows.
        rig.port.incoming = "1\n" + QByteArray(400, '9') + "\n!\n";
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.ReadRaceReply());
        rig.port.incoming = "1\n0." + QByteArray(400, '0') + "4\n!\n";
        QCOMPARE(rig.command.ReadRaceReply().value()[2], 0);
    }

    void aReplyThatNeverEndsTimesOutInWholeSteps()
    {
        for (const QByteArray& reply :
             {QByteArray("1\n2\n!\r\n"), QByteArray("1\n2\n!\nX"), QByteArray()}) {
            Rig rig;
            rig.port.incoming = reply;
            QElapsedTimer elapsed;
            elapsed.start();
            QVERIFY(!rig.command.ReadRaceReply());
            QVERIFY(elapsed.elapsed() >= 200);
            QVERIFY(elapsed.elapsed() < 1000);
            QCOMPARE(rig.prompter.messages.size(), 1);
            QCOMPARE(rig.prompter.messages[0].text,
                     QStringLiteral("Problem transmitting data. Verify connections and port "
                                    "settings."));
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
            bool timedOut = false;
            rig.command.ReadDiagReplyLater(&rig.port,
                                           [&](const auto& r) { timedOut = r.timedOut; });
            QTRY_VERIFY(timedOut);
            QCOMPARE(rig.prompter.messages.size(), 2);
        }
    }

    void portNumbersMapToTheProgramFoldersLinksOrTheSerialDevices()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        const QString fallback = dir.filePath(QStringLiteral("tty"));
        for (const char* name : {"tty0", "tty1", "tty2", "device"})
            QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("device")),
                            dir.filePath(QStringLiteral("com2"))));
        QCOMPARE(portDevice(folder, 2, fallback), dir.filePath(QStringLiteral("com2")));
        QCOMPARE(portDevice(folder, 3, fallback), dir.filePath(QStringLiteral("tty2")));
        // The window tests take up a COM link that points nowhere.
        for (int number : {0, 4, 5, -1}) {
            try {
                portDevice(folder, number, fallback);
                QFAIL("an invalid port number was accepted");
            } catch (const Failure& f) {
                QCOMPARE(f.code(), int(Failure::InvalidPortNumber));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
