#include "PtyPeer.h"
#include "data/CsvText.h"
#include "data/Settings.h"
#include "event/EventRaceStore.h"
#include "link/LinkWatch.h"
#include "reports/QtPrintSurface.h"
#include "support/FaultFolder.h"
#include "support/ModalWindows.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

// A wall clock that jumps an hour forward and back at every reading, over a steady count.
class JumpingClock final : public Clock
{
public:
    int readings = 0;
    QDateTime now() override
    {
        ++readings;
        return m_steady.now().addSecs(readings % 2 ? 3600 : -3600);
    }
    qint64 elapsedMs() override { return m_steady.elapsedMs(); }

private:
    SystemClock m_steady;
};

const QString kRefusingQueue = QStringLiteral("HalvexRefuses");

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool schedulerRunning()
{
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return p.waitForFinished(5000) && p.readAllStandardOutput().contains("is running");
}

// A race on screen over the default printer; then its slip printed again from the statistics
// window and the log's grid printed from the race data window. What each way says; a notice
// shown is a fault, as nothing was printed.
QStringList printBothWays()
{
    WindowRig rig;
    DefaultPrinterSurface printer;
    rig.printSurface = &printer;
    rig.startWith(WindowRig::proTreeSetup(true));
    pressStartRace(rig.window());
    if (!rig.stats())
        return {QStringLiteral("no result")};
    rig.stats()->cmdPrint->click();
    rig.stats()->cmdOk->click();
    withRaceData(rig, [](frmGridData& data) { data.mnuPrint->trigger(); });
    return rig.printNotices == 0 ? rig.prompter.texts() : QStringList{"a notice was shown"};
}

const char* const kChildFolder = "HALVEX_TEST_RACE_THEN_DIE";

// Runs a demo race through the main window and answers its result with OK.
void demoRace(HalvexApp& app)
{
    pressStartRace(app.mainWindow());
    QVERIFY(app.statisticsWindow());
    app.statisticsWindow()->cmdOk->click();
}

// A record as text, every single with the digits that read back as itself.
QByteArray recordLine(const RaceRecord& r)
{
    QStringList f{r.ClassName, r.Racer, r.Car, r.Lane, QString::number(r.RaceNumber)};
    for (float v : {r.ReactionTime, r.Speed, r.DialIn, r.ElapsedTime, r.WinMargin})
        f.append(QString::number(double(v), 'g', 9));
    for (float v : r.TimingPoint)
        f.append(QString::number(double(v), 'g', 9));
    return csvLine(f << r.Result);
}

QList<QByteArray> journalLines(const RaceLog& log)
{
    QList<QByteArray> lines;
    for (int i = 0; i < log.count(); ++i)
        lines.append(recordLine(log.record(i)));
    return lines;
}

std::optional<RaceStore::Unfinished> unfinished(const WindowRig& rig)
{
    return EventRaceStore(rig.folder(), QDateTime::currentDateTime()).findUnfinished();
}

// The program of the first run: three demo races, the third left on screen, their records
// written out as the journal writes them, then killed without a chance to quit.
int raceThenDie(const QString& folder)
{
    ScriptedPrompter prompter;
    MemoryPort port;
    SystemClock clock;
    QueuedRandom random;
    for (int i = 0; i < 60; ++i)
        random.queue({0.05f * float(i % 19), 0.9f - 0.04f * float(i % 7)});
    MemorySettingsStore store;
    RecordedSound sound;
    RecordingSurface printer;
    HalvexApp app(
        Services{prompter, port, clock, random, store, sound, printer, ProgramFolder(folder)});
    app.load();
    for (int i = 0; i < 2; ++i)
        demoRace(app);
    pressStartRace(app.mainWindow());
    const RaceResult& shown = app.session().result();
    const QByteArray records =
        journalLines(app.raceLog()).join() + recordLine(shown.left) + recordLine(shown.right);
    ::write(STDOUT_FILENO, records.constData(), std::size_t(records.size()));
    ::kill(::getpid(), SIGKILL);
    return 1;
}

const QString kAsk =
    QStringLiteral("The last session ended unexpectedly with %1 races. Restore them?");

} // namespace

// The unit's device going before a race, while the reply is awaited or while diagnostics polls,
// its coming back, and a unit that answers garbage, part of a report or a flood, are scenarios
// (link-*.scn, diag-*.scn), as are a refused restore, a restore into a folder that cannot be
// written and a journal that cannot be written at all (event-*.scn). Told here: a clock that
// jumps, a second copy of the program, a run really killed, a machine's own serial port standing
// in for the unit's, and the printers that are not there or refuse the job.
class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Setting the system clock while the unit is awaited neither ends the wait nor stretches it.
    void theWallClockJumpsDuringTheWait()
    {
        QCOMPARE(QElapsedTimer::clockType(), QElapsedTimer::MonotonicClock);
        MemoryPort port;
        port.open();
        ScriptedPrompter prompter;
        JumpingClock clock;
        ModCommand command(port, prompter, clock);
        command.setTimeLimit(800ms, 100ms);
        QTimer::singleShot(400, [&] { port.arrive("1\n2\n!\n"); });
        std::optional<ModCommand::RaceRead> read;
        command.ReadRaceReplyLater(&port, [&](const auto& r) { read = r; });
        QTRY_VERIFY_WITH_TIMEOUT(read, 3000);
        QVERIFY(read->reply);
        QCOMPARE((*read->reply)[2], 2);
        // A silent unit still times out, once.
        read.reset();
        command.ReadRaceReplyLater(&port, [&](const auto& r) { read = r; });
        QTest::qWait(400);
        QVERIFY(!read);
        QTRY_VERIFY_WITH_TIMEOUT(read, 3000);
        QVERIFY(read->timedOut);
    }

    // A second copy started beside the first finds the unit's port taken: it says so, and the
    // first copy races on; no file of theirs is damaged.
    void aSecondCopyFindsThePortBusy()
    {
        WindowRig first(WindowRig::Port::Serial);
        first.writeSettings();
        first.writeLists();
        first.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        sim::PtyPeer peer(first.folder(), 1);
        QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
        const QStringList files =
            QDir(first.folder()).entryList({QStringLiteral("*.dat")}, QDir::Files);
        QMap<QString, QByteArray> before;
        for (const QString& f : files)
            before[f] = fileBytes(first.dir.filePath(f));
        frmDragRacing& w = first.start();
        // The greeting and the saved Pro-Tree's zero handicap.
        QVERIFY(peer.waitForCommands(4, 3000));

        ScriptedPrompter prompter;
        QtSerialPort port(ProgramFolder(first.folder()), first.dir.filePath(QStringLiteral("no")));
        HalvexApp second(Services{prompter, port, first.clock, first.random, first.store,
                                  first.sound, first.printer, ProgramFolder(first.folder())});
        second.load();
        // The port is not opened, and the saved tree's handicap is not sent to it.
        const QString notOpen = QStringLiteral("Operation valid only when the port is open");
        QCOMPARE(prompter.texts(),
                 (QStringList{QStringLiteral("Permission error while locking the device"), notOpen,
                              notOpen, notOpen}));
        QVERIFY(!port.isOpen());
        QTest::qWait(50);
        QCOMPARE(peer.commands().size(), 4);

        peer.setRaceReply(kLeftWins);
        first.prompter.clear();
        pressStartRace(w);
        QVERIFY(first.stats());
        QCOMPARE(first.stats()->lblLeftET->text(), QStringLiteral("1.0000"));
        first.stats()->cmdOk->click();
        second.mainWindow().close();
        w.close();
        for (const QString& f : files) {
            if (f != kWindowStateFileName)
                QCOMPARE(fileBytes(first.dir.filePath(f)), before[f]);
        }
        WindowStateRecord state;
        readWindowState(fileBytes(first.dir.filePath(kWindowStateFileName)), state);
        QCOMPARE(state.RacerRight, QStringLiteral("Carla"));
    }

    void noPrinter()
    {
        qputenv("PRINTER", "halvex-no-such-queue");
        qputenv("LPDEST", "halvex-no-such-queue");
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("the print system offers a default printer even when asked for one that is "
                  "not there");
        const QString none = QStringLiteral("No default printer is installed. Install a printer "
                                            "and make it the default printer, then print again.");
        QCOMPARE(printBothWays(), QStringList(2, none));
    }

    void aQueueThatRefusesTheJob()
    {
        if (!runningAsRoot() || !schedulerRunning())
            QSKIP("needs the print scheduler running and root to add a queue "
                  "(scripts/cups-pdf-queue.sh starts it)");
        QVERIFY(run(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), kRefusingQueue, QStringLiteral("-E"),
                     QStringLiteral("-v"), QStringLiteral("cups-pdf:/")}));
        QVERIFY(run(QStringLiteral("cupsreject"), {kRefusingQueue}));
        qputenv("PRINTER", kRefusingQueue.toLatin1());
        qputenv("LPDEST", kRefusingQueue.toLatin1());
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), kRefusingQueue);
        const QStringList messages = printBothWays();
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kRefusingQueue});
        const QString refused =
            QStringLiteral("The printer \"%1\" did not accept the job.").arg(kRefusingQueue);
        QCOMPARE(messages, QStringList(2, refused));
    }

    void racesOfAKilledRunComeBack()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup(true)));
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildFolder), rig.folder());
        first.setProcessEnvironment(env);
        first.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitStatus(), QProcess::CrashExit);
        const QByteArray raced = first.readAllStandardOutput();
        QCOMPARE(raced.count("\r\n"), 6);

        rig.prompter.answers.enqueue(Answer::Yes);
        rig.startShown();
        QCOMPARE(rig.prompter.texts(), QStringList{kAsk.arg(3)});
        QCOMPARE(rig.prompter.messages[0].buttons, Buttons::YesNo);
        QCOMPARE(journalLines(rig.log()).join(), raced);
        QCOMPARE(rig.log().record(4).RaceNumber, qint16(3));

        // The races are this run's passes before anything else happens; the killed run is
        // settled, so it is not offered again.
        demoRace(*rig.app);
        QCOMPARE(rig.log().record(6).RaceNumber, qint16(4));
        const auto running = unfinished(rig);
        QVERIFY(running);
        QCOMPARE(running->races(), 4);
        // File, Export Event: each pass once, the restored races in the run that raced them.
        const QString exported = rig.dir.filePath(QStringLiteral("passes.csv"));
        rig.prompter.fileNames.enqueue(exported);
        rig.window().mnuExportEvent->trigger();
        const QList<QByteArray> rows = fileBytes(exported).split('\n');
        QCOMPARE(rows.size(), 1 + 8 + 1);
        QVERIFY(
            rows[0].startsWith("\xEF\xBB\xBFStation,Run,Race Number,Round,Class,Lane,Racer,Car,"));

        // A clean quit closes it: the next start asks nothing.
        rig.app.reset();
        rig.prompter.clear();
        rig.startShown();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.log().count(), 0);
        QVERIFY(!unfinished(rig));
    }

    // With the unit's entry gone the port number falls back to a serial port of the machine,
    // where no unit is: that is not the unit coming back. Its coming back under COM1 is a scenario
    // (link-serial-line-comes-back-by-itself.scn).
    void aMachinePortIsNotTheUnitComingBack()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        auto peer = std::make_unique<sim::PtyPeer>(rig.folder(), 1);
        frmDragRacing& w = rig.start();
        w.show();
        QVERIFY(peer->waitForCommands(3, 3000));
        sim::PtyPeer machinePort(rig.folder(), 2);
        QVERIFY(
            QFile::rename(machinePort.linkPath(), rig.dir.filePath(QStringLiteral("no-ttyS0"))));
        peer.reset();
        QTRY_COMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit not connected"));
        rig.app->linkWatch().check();
        QCOMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit not connected"));
        QVERIFY(!rig.port().isOpen());
        QCOMPARE(machinePort.commands(), QList<QByteArray>());
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFolder))
        return raceThenDie(qEnvironmentVariable(kChildFolder));
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
