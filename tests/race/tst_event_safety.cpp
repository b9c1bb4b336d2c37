#include "PtyPeer.h"
#include "data/CsvText.h"
#include "event/EventRaceStore.h"
#include "link/LinkWatch.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace halvex;
using namespace halvex::test;

namespace {

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

class TestEventSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QVERIFY(rows[0].startsWith("\xEF\xBB\xBFStation,Run,Race Number,Round,Class,Lane,Racer,Car,"));

        // A clean quit closes it: the next start asks nothing.
        rig.app.reset();
        rig.prompter.clear();
        rig.startShown();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.log().count(), 0);
        QVERIFY(!unfinished(rig));
    }

    void noLeavesTheLogEmptyAndTheFileKept()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        demoRace(*rig.app);
        demoRace(*rig.app);
        // The run ends without quitting: it stays unfinished. The program is only let go at the
        // end, so nothing leaks.
        const std::unique_ptr<HalvexApp> abandoned = std::move(rig.app);

        rig.prompter.answers.enqueue(Answer::No);
        rig.startShown();
        QCOMPARE(rig.prompter.texts(), QStringList{kAsk.arg(2)});
        QCOMPARE(rig.log().count(), 0);
        QCOMPARE(rig.log().raceCounter(), qint16(0));
        // Declined, the run is settled; its passes stay in the event.
        QVERIFY(!unfinished(rig));
    }

    void aJournalThatCannotBeWrittenIsReportedOnce()
    {
        WindowRig rig;
        const QString folder = rig.dir.filePath(EventRaceStore::kFolderName);
        QVERIFY(QDir().mkpath(folder));
        bool mounted = false;
        if (geteuid() == 0) {
            // Root writes through permissions: a read-only file system holds even for root.
            mounted = QProcess::execute(QStringLiteral("mount"),
                                        {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                         QStringLiteral("-o"), QStringLiteral("ro,size=64k"),
                                         QStringLiteral("tmpfs"), folder}) == 0;
            if (!mounted)
                QSKIP("A read-only folder needs a mount, which this machine refuses.");
        } else {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        }
        const auto restore = qScopeGuard([&] {
            if (mounted)
                QProcess::execute(QStringLiteral("umount"), {folder});
        });
        rig.startWith(WindowRig::proTreeSetup(true));
        demoRace(*rig.app);
        demoRace(*rig.app);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Event"));
        QVERIFY2(rig.prompter.messages[0].text.startsWith(
                     QStringLiteral("The event file \"%1/Practice ").arg(folder)),
                 qPrintable(rig.prompter.messages[0].text));
        QCOMPARE(rig.log().count(), 4);

        // At Exit the races the journal could not keep are offered to the race data's Save.
        const QString saved = rig.dir.filePath(QStringLiteral("Halvex Stats.xls"));
        rig.prompter.clear();
        rig.prompter.answers.enqueue(Answer::Yes);
        rig.prompter.fileNames.enqueue(saved);
        rig.window().mnuExit->trigger();
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral(
                     "Races of this session could not be written to the event and are lost when "
                     "the program ends.\r\nSave the race data first?")});
        QCOMPARE(rig.prompter.messages[0].buttons, Buttons::YesNo);
        QCOMPARE(rig.prompter.saveDialogs.size(), 1);
        QVERIFY(fileBytes(saved).contains("Carla"));
        QVERIFY(!rig.window().isVisible());
    }

    // Races of a killed run restored into a folder that cannot be written stay in the log; the
    // killed run stays unfinished, to be offered again.
    void aRestoreIntoAFolderThatCannotBeWritten()
    {
        if (geteuid() != 0)
            QSKIP("Needs a read-only mount over a written journal.");
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        const QString folder = rig.dir.filePath(EventRaceStore::kFolderName);
        QVERIFY(QDir().mkpath(folder));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=1m"), QStringLiteral("tmpfs"), folder}) != 0)
            QSKIP("This machine refuses the mount.");
        const auto unmount =
            qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {folder}); });
        RaceRecord left;
        left.Lane = QStringLiteral("L");
        left.RaceNumber = 5;
        left.Racer = QStringLiteral("Bob Diaz");
        RaceRecord right = left;
        right.Lane = QStringLiteral("R");
        {
            EventRaceStore killed(rig.folder(), QDateTime::currentDateTime().addDays(-1));
            killed.raceShown(left, right);
        }
        QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder}),
                 0);

        rig.prompter.answers.enqueue(Answer::Yes);
        rig.startShown();
        QCOMPARE(rig.prompter.texts().size(), 2);
        QCOMPARE(rig.prompter.texts()[0], kAsk.arg(1));
        QCOMPARE(rig.prompter.messages[1].title, QStringLiteral("Event"));
        QCOMPARE(rig.log().count(), 2);
        QCOMPARE(rig.log().record(0), left);
        QCOMPARE(unfinished(rig)->races(), 1);
    }

    void aPseudoTerminalClosedAndReopened()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        auto peer = std::make_unique<sim::PtyPeer>(rig.folder(), 1);
        frmDragRacing& w = rig.start();
        w.show();
        QVERIFY(peer->waitForCommands(3, 3000));
        QCOMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit connected"));

        // The unit goes, and with its entry gone the number falls back to a serial port of the
        // machine, where no unit is: that is not the unit coming back.
        sim::PtyPeer machinePort(rig.folder(), 2);
        QVERIFY(
            QFile::rename(machinePort.linkPath(), rig.dir.filePath(QStringLiteral("no-ttyS0"))));
        peer.reset();
        QTRY_COMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit not connected"));
        rig.app->linkWatch().check();
        QCOMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit not connected"));
        QVERIFY(!rig.port().isOpen());
        QCOMPARE(machinePort.commands(), QList<QByteArray>());

        peer = std::make_unique<sim::PtyPeer>(rig.folder(), 1);
        rig.app->linkWatch().check();
        QCOMPARE(w.lblLinkStatus->text(), QStringLiteral("Timing unit connected"));
        QVERIFY(peer->waitForCommands(3, 3000));
        QCOMPARE(peer->commands(), (QList<QByteArray>{"O\n", "X\n", "S\n"}));

        // The next race runs without a restart or the settings window.
        peer->clear();
        peer->setRandomRaceReply();
        rig.prompter.clear();
        pressStartRace(w);
        QCOMPARE(rig.prompter.texts(), QStringList());
        QVERIFY(rig.stats());
        QCOMPARE(rig.stats()->windowTitle(), QStringLiteral("Statistics - Race # 1"));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFolder))
        return raceThenDie(qEnvironmentVariable(kChildFolder));
    TestEventSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_event_safety.moc"
