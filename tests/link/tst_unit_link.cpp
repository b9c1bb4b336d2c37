#include "link/CommandEncoding.h"
#include "link/DiagLamps.h"
#include "link/ModCommand.h"
#include "link/PortDevice.h"
#include "link/ReplyParser.h"
#include "platform/Failure.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

using namespace halvex;
using namespace halvex::test;

// The unit's link both ways: the commands' bytes, the replies as read and the lamps a
// diagnostics reply lights, the reading's time limit, and the port a number names.
class TestUnitLink : public QObject
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

    // The race's reply read to its end; a reply that does not fit 32 bits reads as none, with
    // its failure when `overflows`.
    static std::optional<RaceReply> readRace(Rig& rig, bool overflows = false)
    {
        std::optional<ModCommand::RaceRead> read;
        rig.command.ReadRaceReplyLater(&rig.port, [&](const auto& r) { read = r; });
        if (!QTest::qWaitFor([&] { return read.has_value(); }, 2000))
            return std::nullopt;
        if (overflows && read->failure != QStringLiteral("Overflow"))
            return RaceReply{};
        return read->reply;
    }

private Q_SLOTS:
    // One handicap a row of handicap-commands.tsv.
    void handicap_data() { addTableRows(QFINDTESTDATA("handicap-commands.tsv"), 6); }
    void handicap()
    {
        QFETCH(QStringList, row);
        Rig rig;
        rig.port.opened = row[3] == u"open";
        QVERIFY(rig.port.opened || row[3] == u"closed");
        const QString message = row[5];
        QCOMPARE(rig.command.SendHandicap(row[1].toFloat(), row[2].toFloat()), message.isEmpty());
        QCOMPARE(QString::fromLatin1(rig.port.writes.join('|')), row[4]);
        QCOMPARE(rig.prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
    }

    // Each command is its letters and one line feed; demo mode silences every command but the
    // race routine's own.
    void commandsAreTheirLettersAndOneLineFeed()
    {
        for (const bool demo : {false, true}) {
            Rig rig;
            rig.command.setDemoMode(demo);
            rig.command.SendHandicap(7.5f, 7.5f);
            if (demo)
                rig.command.SendHandicap(7.5f, 10.8f); // past the largest delay: not even told
            rig.command.SendCountdown(0.6f);
            rig.command.SendCountdown(0.4f);
            for (int polarity : {1, 0, 2})
                rig.command.SendSignalPolarity(polarity);
            for (bool on : {true, false}) {
                rig.command.SendStagingMode(on);
                rig.command.SendLaneLights(on);
            }
            rig.command.send("O");
            rig.command.sendUngated("N");
            const QList<QByteArray> all{"A\n", "0\n0\n", "B",      "6000\n", "B",      "4000\n",
                                        "Y\n", "X\n",    "X\n",    "R\n",    "GL21\n", "GR21\n",
                                        "S\n", "GL20\n", "GR20\n", "O\n",    "N\n"};
            QCOMPARE(rig.port.writes, demo ? QList<QByteArray>{"N\n"} : all);
            QVERIFY(!rig.port.written().contains('\r'));
            QVERIFY(rig.prompter.messages.isEmpty());
        }
        // A closed port is the caller's failure to report.
        Rig rig;
        rig.port.opened = false;
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.send("O"));
        QVERIFY_THROWS_EXCEPTION(Failure, rig.command.SendCountdown(0.4f));
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
        QTimer::singleShot(60, [&] { rig.port.arrive("\n"); });
        const std::optional<RaceReply> reply = readRace(rig);
        QVERIFY(reply);
        QCOMPARE((*reply)[1], 100);
        QCOMPARE((*reply)[3], 300);
        QCOMPARE((*reply)[4], 0);
        QVERIFY(rig.prompter.messages.isEmpty());

        // A diagnostics reply keeps two masks, read without a nested loop; a field past 32 bits
        // makes it malformed.
        rig.port.incoming = "64\n0\n255\n!\n";
        QList<ModCommand::DiagRead> reads;
        rig.command.ReadDiagReplyLater(&rig.port, [&](const auto& r) { reads.append(r); });
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
        QCOMPARE(readRace(rig, true), std::nullopt);
        QCOMPARE(rig.prompter.messages.size(), 0);
        rig.port.incoming = "1\n0." + QByteArray(400, '0') + "4\n!\n";
        QCOMPARE(readRace(rig).value()[2], 0);
    }

    void aReplyThatNeverEndsTimesOutInWholeSteps()
    {
        for (const QByteArray& reply :
             {QByteArray("1\n2\n!\r\n"), QByteArray("1\n2\n!\nX"), QByteArray()}) {
            Rig rig;
            rig.port.incoming = reply;
            QElapsedTimer elapsed;
            elapsed.start();
            QVERIFY(!readRace(rig));
            QVERIFY(elapsed.elapsed() >= 200);
            QVERIFY(elapsed.elapsed() < 1000);
            // The race shows the time-out itself, once it has given the input back.
            QCOMPARE(rig.prompter.messages.size(), 0);
            bool timedOut = false;
            rig.command.ReadDiagReplyLater(&rig.port,
                                           [&](const auto& r) { timedOut = r.timedOut; });
            QTRY_VERIFY(timedOut);
            QCOMPARE(rig.prompter.messages.size(), 1);
            QCOMPARE(rig.prompter.messages[0].text,
                     QStringLiteral("Problem transmitting data. Verify connections and port "
                                    "settings."));
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
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
        for (int number : {0, 4, 5, -1})
            QCOMPARE(failureOf([&] { portDevice(folder, number, fallback); }).code(),
                     int(Failure::InvalidPortNumber));
    }

    // One reply a row of race-replies.tsv.
    void replies_data() { addTableRows(QFINDTESTDATA("race-replies.tsv"), 4); }

    void replies()
    {
        QFETCH(QStringList, row);
        const QString reply = row[1];
        const int count = row[2].toInt();
        QList<int> fields;
        QStringList read; // the numbers as read back, so that no typo passes as 0
        for (const QString& f : row[3].split(u' ', Qt::SkipEmptyParts)) {
            fields.append(f.toInt());
            read.append(QString::number(fields.last()));
        }
        QCOMPARE(QString::number(count) + u'/' + read.join(u' '), row[2] + u'/' + row[3]);
        RaceReply a;
        a.fill(77); // every element is overwritten
        QCOMPARE(parseReply(reply, kReplyValidChars, kReplyDelimiter,
                            std::span<qint32>(a).subspan(1), 1),
                 count);
        QCOMPARE(a[0], 77);
        for (int i = 1; i <= 18; ++i)
            QCOMPARE(a[i], i <= fields.size() ? fields[i - 1] : 0);

        // A diagnostics reply keeps its first two fields.
        DiagReply diag{9, 9, 9};
        const int n = parseReply(reply, kReplyValidChars, kReplyDelimiter,
                                 std::span<qint32>(diag).subspan(1), 1);
        QCOMPARE(n, std::min(count, 2));
        QCOMPARE(diag[2], fields.size() >= 2 ? fields[1] : 0);
    }

    // One reply a row of diag-lamp-rows.tsv.
    void eachBitLightsItsLamp_data() { addTableRows(QFINDTESTDATA("diag-lamp-rows.tsv"), 5); }

    void eachBitLightsItsLamp()
    {
        QFETCH(QStringList, row);
        const int n = row[1].toInt();
        const int mask1 = row[2].toInt();
        const int mask2 = row[3].toInt();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(n).arg(mask1).arg(mask2), row.mid(1, 3).join(u' '));
        DragSettings s;
        s.NumberOfSensors = qint16(n);
        const auto states = diagLampStates(diagRows(s), DiagReply{0, mask1, mask2});
        QStringList shown{QStringLiteral("malformed")};
        if (states)
            shown.clear();
        for (qsizetype r = 0; states && r < states->left.size(); ++r)
            shown.append(QString(states->left[r] ? u'G' : u'R') + (states->right[r] ? u'G' : u'R'));
        QCOMPARE(shown.join(u' '), row[4]);
    }
};

QTEST_GUILESS_MAIN(TestUnitLink)
#include "tst_unit_link.moc"
