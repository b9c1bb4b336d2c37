#include "PtyPeer.h"
#include "data/Settings.h"
#include "reports/QtPrintSurface.h"
#include "support/FaultFolder.h"
#include "support/ModalWindows.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

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
// window and the log's grid printed from the race data window.
QStringList printBothWays(WindowRig& rig, DefaultPrinterSurface& printer)
{
    rig.printSurface = &printer;
    rig.startWith(WindowRig::proTreeSetup(true));
    pressStartRace(rig.window());
    if (!rig.stats())
        return {QStringLiteral("no result")};
    rig.stats()->cmdPrint->click();
    rig.stats()->cmdOk->click();
    withRaceData(rig, [](frmGridData& data) { data.mnuPrint->trigger(); });
    return rig.prompter.texts();
}

} // namespace

// The unit's device going before a race, while the reply is awaited or while diagnostics polls,
// its coming back, and a unit that answers garbage, part of a report or a flood, are scenarios
// (link-*.scn, diag-*.scn); a clock that jumps and a second copy of the program are told here,
// with the printers that are not there or refuse the job.
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
        WindowRig rig;
        DefaultPrinterSurface printer;
        const QString none = QStringLiteral("No default printer is installed. Install a printer "
                                            "and make it the default printer, then print again.");
        QCOMPARE(printBothWays(rig, printer), QStringList(2, none));
        QCOMPARE(rig.printNotices, 0);
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
        WindowRig rig;
        DefaultPrinterSurface printer;
        const QStringList messages = printBothWays(rig, printer);
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kRefusingQueue});
        const QString refused =
            QStringLiteral("The printer \"%1\" did not accept the job.").arg(kRefusingQueue);
        QCOMPARE(messages, QStringList(2, refused));
        QCOMPARE(rig.printNotices, 0);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
