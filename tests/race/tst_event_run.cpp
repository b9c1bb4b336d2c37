#include "PtyPeer.h"
#include "event/EventRounds.h"
#include "periphery/Tips.h"
#include "support/EventOperator.h"
#include "support/EventPasses.h"
#include "support/FaultFolder.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>
#include <functional>
#include <optional>
#include <unistd.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const char* const kFolderVariable = "HALVEX_TEST_EVENT_FOLDER";
// "kill", "locked" or "full", and the step of a pass it strikes at: "report" (the reply in, its
// pass not yet written), "shown", "awaiting" (the next report) or "committed".
const char* const kFaultVariable = "HALVEX_TEST_EVENT_FAULT";
const QString kClass = QStringLiteral("Stock");

QString eventPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Events/Club Night.sqlite"));
}

// A fault the run strikes itself with once, at one step of a pass: killed, with what it then
// held written out; the event file locked by another writer; or the disk full (the events
// folder a tiny disk of its own, filled up). The last two are lifted once the next result has
// shown.
class Fault
{
public:
    // `given` is the kind and the step, as "locked shown".
    Fault(const QString& given, QString path) : m_path(std::move(path))
    {
        m_kind = given.section(u' ', 0, 0);
        m_step = given.section(u' ', 1, 1);
    }
    ~Fault() { lift(); }
    Fault(const Fault&) = delete;
    Fault& operator=(const Fault&) = delete;

    // Called at each step; `heats` counts the races in the file.
    void at(const QString& step, std::size_t heats, const std::function<void()>& beforeKill)
    {
        if (step == u"shown" && m_struck)
            lift();
        // The races in the file when each step strikes: one run after another of the killed
        // event finds each step still ahead.
        // A fault that lasts strikes a qualifying result, to be lifted before the ladder starts.
        const QHash<QString, std::size_t> when{{QStringLiteral("report"), 1},
                                               {QStringLiteral("shown"), m_kind == u"kill" ? 4 : 2},
                                               {QStringLiteral("awaiting"), 6},
                                               {QStringLiteral("committed"), 8}};
        if (m_struck || step != m_step || heats != when.value(step))
            return;
        m_struck = true;
        if (m_kind == u"kill") {
            beforeKill();
            ::kill(::getpid(), SIGKILL);
        } else if (m_kind == u"locked") {
            // The engine locks the file for a connection as it does for another process.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_lock);
            db.setDatabaseName(m_path);
            m_held = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (m_kind == u"full") {
            QFile fill(filler());
            m_held = fill.open(QIODevice::WriteOnly);
            const QByteArray block(512, 'f');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
            while (fill.write("f", 1) == 1 && fill.flush()) {
            }
        }
    }

private:
    void lift()
    {
        if (!m_held)
            return;
        m_held = false;
        if (m_kind == u"full") {
            QFile::remove(filler());
            return;
        }
        {
            QSqlDatabase db = QSqlDatabase::database(m_lock, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(m_lock);
    }

    QString filler() const { return QFileInfo(m_path).dir().filePath(QStringLiteral("filler")); }

    const QString m_lock = QStringLiteral("another writer");
    QString m_path;
    QString m_kind;
    QString m_step;
    bool m_struck = false;
    bool m_held = false;
};

// One run of the program over the event, against the simulated unit, as an operator runs it
// through the rounds windows, with one rerun on the first elimination pass, struck by the fault
// `given`. It writes out what it was asked, then the event as it holds it at the end (or at its
// kill).
int runEvent(const QString& folder, const QString& given)
{
    ScriptedPrompter prompter;
    prompter.answers.enqueue(Answer::Yes);
    sim::PtyPeer peer(folder, 1);
    peer.setRandomRaceReply();
    const QString noPort = QDir(folder).filePath(QStringLiteral("no-ttyS"));
    QtSerialPort port{ProgramFolder(folder), noPort};
    SystemClock clock;
    QueuedRandom random;
    MemorySettingsStore store;
    setShowTipsAtStartup(store, false);
    store.setValue(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
                   QStringLiteral("Event"), QStringLiteral("Chosen"), eventPath(folder));
    RecordedSound sound;
    RecordingSurface printer;
    HalvexApp app(
        Services{prompter, port, clock, random, store, sound, printer, ProgramFolder(folder)});
    app.start();
    if (!QTest::qWaitFor([&app] { return app.startupFinished(); }, 5000))
        return 3;
    Event event(eventPath(folder));
    EventRounds rounds(event);
    const auto out = [](const QString& text) {
        const QByteArray bytes = text.toUtf8() + '\n';
        ::write(STDOUT_FILENO, bytes.constData(), std::size_t(bytes.size()));
    };
    out(QStringLiteral("asked: ") + prompter.texts().join(u'|'));
    Fault fault(given, eventPath(folder));
    const auto at = [&](const char* step) {
        const std::size_t heats = rounds.passes(kClass, Stage::Qualifying).size() +
                                  rounds.passes(kClass, Stage::Eliminations).size();
        fault.at(QLatin1String(step), heats, [&] { out(eventDigest(rounds)); });
    };
    QObject::connect(&app.session(), &RaceSession::stateChanged, [&](RaceSession::State s) {
        if (s == RaceSession::State::Shown)
            at("report");
        if (s == RaceSession::State::Awaiting)
            at("awaiting");
    });
    EventOperator operatorOf(app, prompter, rounds);
    operatorOf.resultShown = [&] { at("shown"); };
    operatorOf.resultClosed = [&] {
        at("committed");
        const std::vector<Pass> eliminations = rounds.passes(kClass, Stage::Eliminations);
        if (eliminations.size() == 1 && rounds.corrections(kClass, Stage::Eliminations).empty())
            rounds.correct(kClass, Stage::Eliminations,
                           {0, CorrectionKind::Rerun, 0, 0, eliminations[0].seq, kNoEntry,
                            QStringLiteral("a sensor blinked")});
    };
    const QString failed = operatorOf.run();
    QStringList told = prompter.texts();
    told.removeIf([](const QString& t) { return t.startsWith(QLatin1String("Start the ladder")); });
    out(QStringLiteral("told: ") +
        told.join(u'|').replace(QStringLiteral("\r\n"), QStringLiteral(" // ")));
    if (!failed.isEmpty()) {
        out(failed);
        return 2;
    }
    out(eventDigest(rounds));
    app.quitWithoutAsking();
    return 0;
}

// A new event of eight entries in the rig's folder.
void makeEvent(const WindowRig& rig)
{
    QDir(rig.folder()).mkpath(QStringLiteral("Events"));
    QFile::remove(eventPath(rig.folder()));
    auto event = Event::create(eventPath(rig.folder()), QStringLiteral("Club Night"),
                               QDate(2026, 12, 6), {{kClass, 0, 0, 8, LadderKind::Fixed}});
    for (int i = 1; i <= 8; ++i)
        event->addEntry({0, kClass, QStringLiteral("Racer %1").arg(i), {}, {}, 0});
}

// Runs the program over the rig's event, struck by `fault`; what it wrote out.
QString runChild(const WindowRig& rig, const QString& fault, QProcess::ExitStatus expected)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kFolderVariable), rig.folder());
    env.insert(QString::fromLatin1(kFaultVariable), fault);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(120000) || child.exitStatus() != expected)
        return QStringLiteral("the run ended otherwise: ") + child.readAllStandardOutput();
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

} // namespace

class TestEventRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Eight entries, one qualifying round and the ladder to the final, in five runs of the
    // program: four killed (a report in before its pass is written, a result on screen, a
    // report awaited, a result just closed). After each kill the event reads back exactly as
    // the killed run last saw it; the pass lost with the kill is run again, none is doubled.
    void anEventSurvivesKillsAtEveryStep()
    {
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        makeEvent(rig);
        const QStringList asked{"", "1", "4", "6", "8"};
        const QStringList kills{"report", "shown", "awaiting", "committed", ""};
        for (int run = 0; run < kills.size(); ++run) {
            const QString said =
                runChild(rig, QStringLiteral("kill ") + kills[run],
                         kills[run].isEmpty() ? QProcess::NormalExit : QProcess::CrashExit);
            const QString question = asked[run].isEmpty()
                                         ? QString()
                                         : QStringLiteral("The last session ended unexpectedly "
                                                          "with %1 races. Restore them?")
                                               .arg(asked[run]);
            QCOMPARE(said.section(u'\n', 0, 0), QStringLiteral("asked: ") + question);
            Event event(eventPath(rig.folder()));
            EventRounds rounds(event);
            QCOMPARE(eventDigest(rounds), said.section(u'\n', kills[run].isEmpty() ? 2 : 1));
        }
        Event event(eventPath(rig.folder()));
        EventRounds rounds(event);
        QCOMPARE(rounds.passes(kClass, Stage::Qualifying).size(), std::size_t(4));
        QCOMPARE(rounds.passes(kClass, Stage::Eliminations).size(), std::size_t(8));
        const Ladder ladder = rounds.ladder(kClass);
        QCOMPARE(ladder.rounds[0][0].voided.size(), std::size_t(1));
        QVERIFY(ladder.winner != kNoEntry);
        QVERIFY(rounds.callOrder().empty());
    }

    // The event file locked by another writer, or the disk full, at each step of a pass: the
    // operator is told once which file and what to do, races on, and once the fault is gone
    // every race is in the file once, as shown and as committed.
    void anEventRacesOnThroughAFaultAtEachStep_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        const QString goesOn = QStringLiteral(" // Racing goes on; the races stay in the race "
                                              "data window and are written with the next one.");
        const QString locked = QStringLiteral("The event file \"%1\" is in use by another "
                                              "program that holds it locked, so nothing was "
                                              "written to it: close that program.") +
                               goesOn;
        const QString full =
            QStringLiteral("The event file \"%1\" cannot be written: database or disk is full") +
            goesOn;
        for (const char* step : {"report", "shown", "awaiting", "committed"}) {
            QTest::addRow("locked at %s", step) << QStringLiteral("locked %1").arg(step) << locked;
            QTest::addRow("full at %s", step) << QStringLiteral("full %1").arg(step) << full;
        }
    }

    void anEventRacesOnThroughAFaultAtEachStep()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        WindowRig rig;
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        // The events folder a tiny disk of its own, for the disk to fill; root alone mounts it.
        const QString events = QDir(rig.folder()).filePath(QStringLiteral("Events"));
        QDir(rig.folder()).mkpath(QStringLiteral("Events"));
        std::optional<TinyDisk> disk;
        if (fault.startsWith(u"full")) {
            disk.emplace(events, 4 << 20);
            if (!disk->mounted())
                QSKIP("A tiny disk is mounted by root only.");
        }
        makeEvent(rig);
        const QString said = runChild(rig, fault, QProcess::NormalExit);
        QCOMPARE(said.section(u'\n', 1, 1),
                 QStringLiteral("told: ") + told.arg(eventPath(rig.folder())));
        QCOMPARE(passCounts(eventPath(rig.folder())),
                 QStringLiteral("Committed 24 12|Shown 24 12"));
        Event event(eventPath(rig.folder()));
        EventRounds rounds(event);
        QCOMPARE(eventDigest(rounds), said.section(u'\n', 2));
        QVERIFY(rounds.callOrder().empty());
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kFolderVariable))
        return runEvent(qEnvironmentVariable(kFolderVariable),
                        qEnvironmentVariable(kFaultVariable));
    TestEventRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_event_run.moc"
