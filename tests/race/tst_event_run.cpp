#include "PtyPeer.h"
#include "event/EventRounds.h"
#include "periphery/Tips.h"
#include "support/EventOperator.h"
#include "support/EventPasses.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QProcess>

#include <csignal>
#include <unistd.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const char* const kFolderVariable = "HALVEX_TEST_EVENT_FOLDER";
const char* const kKillVariable = "HALVEX_TEST_EVENT_KILL_AT";
const QString kClass = QStringLiteral("Stock");

QString eventPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Events/Club Night.sqlite"));
}

// One run of the program over the event, against the simulated unit, as an operator runs it
// through the rounds windows, with one rerun on the first elimination pass. Killed at `killAt` with
// what it then held written out; else it runs the event to its end and quits.
int runEvent(const QString& folder, const QString& killAt)
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
    const auto heats = [&rounds] {
        return rounds.passes(kClass, Stage::Qualifying).size() +
               rounds.passes(kClass, Stage::Eliminations).size();
    };
    const auto dieAt = [&](const char* point, std::size_t atHeats) {
        if (killAt == QLatin1String(point) && heats() == atHeats) {
            out(eventDigest(rounds));
            ::kill(::getpid(), SIGKILL);
        }
    };
    QObject::connect(&app.session(), &RaceSession::stateChanged, [&](RaceSession::State s) {
        if (s == RaceSession::State::Shown)
            dieAt("report", 1); // the reply is in, the pass not yet written
        if (s == RaceSession::State::Awaiting)
            dieAt("awaiting", 6);
    });
    EventOperator operatorOf(app, prompter, rounds);
    operatorOf.resultShown = [&] { dieAt("shown", 4); };
    operatorOf.resultClosed = [&] {
        dieAt("committed", 8);
        const std::vector<Pass> eliminations = rounds.passes(kClass, Stage::Eliminations);
        if (eliminations.size() == 1 && rounds.corrections(kClass, Stage::Eliminations).empty())
            rounds.correct(kClass, Stage::Eliminations,
                           {0, CorrectionKind::Rerun, 0, 0, eliminations[0].seq, kNoEntry,
                            QStringLiteral("a sensor blinked")});
    };
    if (const QString failed = operatorOf.run(); !failed.isEmpty()) {
        out(failed);
        return 2;
    }
    out(eventDigest(rounds));
    app.quitWithoutAsking();
    return 0;
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
        QDir(rig.folder()).mkpath(QStringLiteral("Events"));
        {
            auto event = Event::create(eventPath(rig.folder()), QStringLiteral("Club Night"),
                                       QDate(2026, 12, 6), {{kClass, 0, 0, 8, LadderKind::Fixed}});
            for (int i = 1; i <= 8; ++i)
                event->addEntry({0, kClass, QStringLiteral("Racer %1").arg(i), {}, {}, 0});
        }
        const QStringList asked{"", "1", "4", "6", "8"};
        const QStringList kills{"report", "shown", "awaiting", "committed", ""};
        for (int run = 0; run < kills.size(); ++run) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kFolderVariable), rig.folder());
            env.insert(QString::fromLatin1(kKillVariable), kills[run]);
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForFinished(120000));
            QCOMPARE(child.exitStatus(),
                     kills[run].isEmpty() ? QProcess::NormalExit : QProcess::CrashExit);
            const QString said = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
            const QString question = asked[run].isEmpty()
                                         ? QString()
                                         : QStringLiteral("The last session ended unexpectedly "
                                                          "with %1 races. Restore them?")
                                               .arg(asked[run]);
            QCOMPARE(said.section(u'\n', 0, 0), QStringLiteral("asked: ") + question);
            Event event(eventPath(rig.folder()));
            EventRounds rounds(event);
            QCOMPARE(eventDigest(rounds), said.section(u'\n', 1));
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
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kFolderVariable))
        return runEvent(qEnvironmentVariable(kFolderVariable), qEnvironmentVariable(kKillVariable));
    TestEventRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_event_run.moc"
