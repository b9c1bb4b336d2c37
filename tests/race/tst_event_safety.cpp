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

// A refused restore, a restore into a folder that cannot be written and a journal that cannot
// be written at all are scenarios (event-*.scn); a run really killed and a machine's own serial
// port standing in for the unit's are told here.
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
    TestEventSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_event_safety.moc"
