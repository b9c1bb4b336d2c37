#include "PtyPeer.h"
#include "data/Settings.h"
#include "support/ModalWindows.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
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

} // namespace

// The unit's device going before a race, while the reply is awaited or while diagnostics polls,
// its coming back, and a unit that answers garbage, part of a report or a flood, are scenarios
// (link-*.scn, diag-*.scn); a clock that jumps and a second copy of the program are told here.
class TestFaultLink : public QObject
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
};

QTEST_MAIN(TestFaultLink)
#include "tst_fault_link.moc"
