#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/TimingUnit.h"
#include "platform/Failure.h"
#include "race/Colours.h"
#include "race/Credits.h"
#include "race/RaceSession.h"
#include "race/SetupModel.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"
#include "support/SessionRig.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;
using State = RaceSession::State;

namespace {

const QString kNoReport =
    QStringLiteral("Problem transmitting data. Verify connections and port settings.");

struct Rig : SessionRig
{
    QSignalSpy results{&session, &RaceSession::resultReady};
    QSignalSpy delays{&session, &RaceSession::delayStarted};
    Rig() { setup.setSetup(proTree()); }
    static RaceSetup proTree()
    {
        RaceSetup s;
        s.treeIndex = 3;
        s.className = QStringLiteral("Stock");
        s.racerLeft = QStringLiteral("Ann");
        s.racerRight = QStringLiteral("Bob");
        s.carLeft = QStringLiteral("Red");
        s.carRight = QStringLiteral("Blue");
        s.dialInLeft = "7.500";
        s.dialInRight = "7.250";
        return s;
    }
};

} // namespace

class TestRaceSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row: the state before, what happens, the bytes the unit gets meanwhile and the state
    // after, with the races the log and the store then hold.
    void transitions()
    {
        enum Event
        {
            Start,
            StartNoClass,
            EndDelay,
            ReplyArrives,
            TimeLimitPasses,
            Commit,
            Quit
        };
        const struct
        {
            const char* name;
            State before;
            Event event;
            QByteArray sent;
            State after;
            int logged;
            QStringList stored;
            QStringList messages;
        } rows[] = {
            {"start", State::Idle, Start, "O\nGL21\nGR21\n", State::Delay, 0, {}, {}},
            {"start refused by a check",
             State::Idle,
             StartNoClass,
             "",
             State::Idle,
             0,
             {},
             {"Please select Class"}},
            {"delay over", State::Delay, EndDelay, "A\n0\n0\nP\n", State::Awaiting, 0, {}, {}},
            {"start while held", State::Delay, Start, "", State::Delay, 0, {}, {}},
            {"report", State::Awaiting, ReplyArrives, "GL81\n", State::Shown, 0, {"shown 1"}, {}},
            {"no report", State::Awaiting, TimeLimitPasses, "", State::Idle, 0, {}, {kNoReport}},
            {"delay over twice", State::Awaiting, EndDelay, "", State::Awaiting, 0, {}, {}},
            {"result closed",
             State::Shown,
             Commit,
             "",
             State::Idle,
             1,
             {"shown 1", "committed 1"},
             {}},
            {"start while shown", State::Shown, Start, "", State::Shown, 0, {"shown 1"}, {}},
            {"quit idle", State::Idle, Quit, "", State::Idle, 0, {}, {}},
            {"quit held", State::Delay, Quit, "", State::Idle, 0, {}, {}},
            {"quit awaiting", State::Awaiting, Quit, "", State::Idle, 0, {}, {}},
            {"quit shown", State::Shown, Quit, "", State::Idle, 1, {"shown 1", "committed 1"}, {}},
        };
        for (const auto& row : rows) {
            Rig rig;
            rig.reach(row.before);
            QCOMPARE(rig.session.state(), row.before);
            rig.port.writes.clear();
            switch (row.event) {
            case Start:
                rig.session.start();
                break;
            case StartNoClass: {
                RaceSetup s = Rig::proTree();
                s.className.clear();
                rig.setup.setSetup(s);
                rig.session.start();
                break;
            }
            case EndDelay:
                // The report is held back, so the wait shows.
                rig.port.answers.clear();
                rig.session.endDelay();
                QTest::qWait(20);
                break;
            case ReplyArrives:
                rig.port.arrive(kReport);
                rig.finish(row.after);
                break;
            case TimeLimitPasses:
                rig.finish(row.after);
                break;
            case Commit:
                rig.session.commit();
                break;
            case Quit:
                rig.session.quit();
                // A report arriving late, or the delay's end, must find nothing to finish.
                rig.port.arrive(kReport);
                rig.session.endDelay();
                QTest::qWait(20);
                break;
            }
            QVERIFY2(rig.port.written() == row.sent, row.name);
            QVERIFY2(rig.session.state() == row.after, row.name);
            QVERIFY2(rig.log.races() == row.logged, row.name);
            QVERIFY2(rig.store.calls == row.stored, row.name);
            QVERIFY2(rig.prompter.texts() == row.messages, row.name);
            // The unit is the race's from Start Race until the session is idle again.
            QVERIFY2((rig.unit.holder() == TimingUnit::Holder::Race) == (row.after != State::Idle),
                     row.name);
        }
    }

    // A quit while a check's message is up ends the start there.
    void quitWhileChecking()
    {
        Rig rig;
        RaceSetup s = Rig::proTree();
        s.racerLeft.clear();
        rig.setup.setSetup(s);
        rig.prompter.whileShown = [&](const MessageBox&) {
            QCOMPARE(rig.session.state(), State::Checking);
            rig.session.quit();
        };
        QCOMPARE(rig.session.start(), SetupField::RacerLeft);
        QCOMPARE(rig.session.state(), State::Idle);
        QCOMPARE(rig.delays.size(), 0);
        QVERIFY(rig.port.writes.isEmpty());
    }

    void checksStopTheRaceInTheirOrder()
    {
        const QString app = QStringLiteral("Halvex 3000");
        const struct
        {
            const char* name;
            std::function<void(RaceSetup&)> change;
            QString text;
            QString title;
            SetupField focus;
        } cases[] = {
            {"no class, no racers", [](RaceSetup& s) { s.className.clear(), s.racerLeft.clear(); },
             "Please select Class", app, SetupField::Class},
            {"caption",
             [](RaceSetup& s) { s.raceCaption = "Racing", s.racerLeft.clear(); },
             {},
             {},
             SetupField::None},
            {"blank left racer", [](RaceSetup& s) { s.racerLeft = "  "; }, "Please select Racers",
             app, SetupField::RacerLeft},
            {"empty right racer", [](RaceSetup& s) { s.racerRight.clear(); },
             "Please select Racers", app, SetupField::RacerRight},
            {"letters left", [](RaceSetup& s) { s.dialInsShown = true, s.dialInLeft = "7.5x"; },
             "Dial-In must be numeric", "Dail-In Value", SetupField::DialInLeft},
            {"empty right", [](RaceSetup& s) { s.dialInsShown = true, s.dialInRight = ""; },
             "Dial-In must be numeric", "Dail-In Value", SetupField::DialInRight},
            {"zero right", [](RaceSetup& s) { s.dialInsShown = true, s.dialInRight = "0.000"; },
             "Enter Dial-In values.\r\nOr select a different Tree.", "Dial-In Values",
             SetupField::None},
            {"beyond a single", [](RaceSetup& s) { s.dialInsShown = true, s.dialInLeft = "1e39"; },
             "Overflow", app, SetupField::None},
            {"zero left before a right beyond a single",
             [](RaceSetup& s) {
                 s.dialInsShown = true, s.dialInLeft = "0", s.dialInRight = "1e39";
             },
             "Enter Dial-In values.\r\nOr select a different Tree.", "Dial-In Values",
             SetupField::None},
        };
        for (const auto& c : cases) {
            Rig rig;
            RaceSetup s = Rig::proTree();
            c.change(s);
            rig.setup.setSetup(s);
            QCOMPARE(rig.session.start(), c.focus);
            QCOMPARE(rig.prompter.texts(), c.text.isEmpty() ? QStringList() : QStringList{c.text});
            if (!c.text.isEmpty()) {
                QCOMPARE(rig.prompter.messages[0].title, c.title);
                // Only the zero dial-ins offer Cancel, and it stops the race all the same.
                QCOMPARE(rig.prompter.messages[0].buttons,
                         c.title == "Dial-In Values" ? Buttons::OkCancel : Buttons::Ok);
            }
            QVERIFY2(rig.port.writes.isEmpty(), c.name);
            QCOMPARE(rig.delays.size(), 0);
            QCOMPARE(rig.session.state(), State::Idle);
        }
    }

    // One race a row of tree-commands.tsv.
    void commandsFollowTheTreeAndTheStaging_data()
    {
        QTest::addColumn<QStringList>("row");
        for (const QStringList& row : tableRows(QFINDTESTDATA("tree-commands.tsv")))
            QTest::newRow(qPrintable(row[0])) << row;
    }

    void commandsFollowTheTreeAndTheStaging()
    {
        QFETCH(QStringList, row);
        QCOMPARE(row.size(), 5);
        const int tree = row[1].toInt();
        QCOMPARE(QString::number(tree), row[1]);
        const bool preStageStage = row[2] == u"true";
        QVERIFY(preStageStage || row[2] == u"false");
        const QByteArray beforeDelay = row[3].toLatin1();
        const QByteArray afterDelay = row[4].toLatin1();
        Rig rig;
        DragSettings settings;
        settings.PreStageStage = preStageStage;
        rig.settings.replace(settings);
        RaceSetup s = Rig::proTree();
        s.treeIndex = static_cast<qint16>(tree);
        rig.setup.setSetup(s);
        rig.session.start();
        QCOMPARE(rig.port.written(), beforeDelay);
        rig.session.endDelay();
        rig.finish(afterDelay.isEmpty() ? State::Idle : State::Shown);
        QCOMPARE(rig.port.written(), beforeDelay + afterDelay);
    }

    void theResultAndItsCommit()
    {
        Rig rig;
        rig.reach(State::Shown);
        QCOMPARE(rig.results.size(), 1);
        const RaceResult& r = rig.session.result();
        QCOMPARE(r.caption, QStringLiteral("Statistics - Race # 1"));
        QCOMPARE(r.lanes[0].elapsedTime, QStringLiteral("1.0000"));
        QCOMPARE(r.left.Result, QStringLiteral("Win"));
        QCOMPARE(rig.log.raceCounter(), qint16(1));
        // The lanes' names are now the race's: a reloaded list shows them.
        QCOMPARE(rig.setup.laneNames(), (LaneNames{"Stock", "Ann", "Bob", "Red", "Blue"}));
        rig.session.commit();
        rig.session.commit();
        QCOMPARE(rig.log.count(), 2);
        QCOMPARE(rig.log.record(1).Racer, QStringLiteral("Bob"));
        rig.session.resetUnit();
        QCOMPARE(rig.port.writes.last(), QByteArray("O\n"));

        // A report whose number does not fit 32 bits is reported, not shown.
        rig.port.answers.insert("P\n", "0\n0\n99999999999\n400\n!\n");
        rig.prompter.clear();
        rig.reach(State::Delay);
        rig.session.endDelay();
        rig.finish(State::Idle);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("Overflow")});
        QCOMPARE(rig.results.size(), 1);

        // A winner lamp that fails is reported; the result stays and is committed.
        rig.prompter.clear();
        rig.port.answers.insert("P\n", kReport);
        rig.port.failing.append("GL81\n");
        rig.reach(State::Shown);
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("The device is not ready")});
        QCOMPARE(rig.results.size(), 2);
    }

    // The store's failure is told once a run; racing goes on and the log keeps every race.
    void aFailingStoreIsToldOnce()
    {
        Rig rig;
        QSignalSpy failed(&rig.session, &RaceSession::storeFailed);
        rig.store.failing = true;
        for (int race = 0; race < 2; ++race) {
            rig.reach(State::Shown);
            rig.session.commit();
        }
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toString(), QStringLiteral("No space left on device"));
        QCOMPARE(rig.log.races(), 2);
        QVERIFY(!rig.store.keptAll());
    }

    void eachRaceTakesACreditWhileTheCoinBoxIsInstalled()
    {
        Rig rig;
        const QString file = rig.dir.filePath(kCreditsFileName);
        DragSettings settings;
        settings.CoinBoxInstalled = 1;
        settings.PreStageStage = true;
        rig.settings.replace(settings);
        writeFile(file, "1\r\n");
        rig.credits.show(true);
        QCOMPARE(rig.credits.text(), QStringLiteral("1 Credits"));
        QCOMPARE(rig.credits.colour(), kColourGreen);

        rig.reach(State::Shown);
        QCOMPARE(rig.credits.text(), QStringLiteral("0 Credits"));
        QCOMPARE(rig.credits.colour(), kColourRed);
        QCOMPARE(fileBytes(file), QByteArray("0\r\n"));
        rig.session.commit();

        // None left: the message, and nothing for the unit.
        rig.port.writes.clear();
        rig.session.start();
        QCOMPARE(rig.prompter.texts(),
                 QStringList{
                     QStringLiteral("You have no credits left. Please insert coin to continue.")});
        QVERIFY(rig.port.writes.isEmpty());
        QCOMPARE(rig.session.state(), State::Idle);

        // A missing file ends the start with its description.
        QFile::remove(file);
        rig.prompter.clear();
        rig.session.start();
        QCOMPARE(rig.prompter.texts(), QStringList{"File not found: CreditRaces.dat"});
        QVERIFY(rig.port.writes.isEmpty());
    }

    void coins()
    {
        QTemporaryDir dir;
        Credits credits{ProgramFolder(dir.path())};
        // No file: the coin is not taken, and nothing is shown.
        QVERIFY(!credits.insertCoin(3));
        QCOMPARE(credits.text(), QStringLiteral("0 Credits"));
        credits.createFileIfMissing();
        const QString file = dir.filePath(kCreditsFileName);
        QCOMPARE(fileBytes(file), QByteArray("0\r\n"));
        QVERIFY(credits.insertCoin(3));
        QCOMPARE(credits.text(), QStringLiteral("3 Credits"));
        QCOMPARE(fileBytes(file), QByteArray("3\r\n"));
        // A count past 32767 is refused and changes nothing.
        writeFile(file, "32766\r\n");
        QVERIFY(!credits.insertCoin(2));
        QCOMPARE(fileBytes(file), QByteArray("32766\r\n"));
    }

    void aDemoRaceSendsNothing()
    {
        Rig rig;
        rig.unit.setDemoMode(true);
        // A left red light (draw 0 gives -60) against 0.0040.
        rig.random.queue({0.0f, 0.1f});
        rig.session.start();
        QCOMPARE(rig.session.state(), State::Delay);
        rig.session.endDelay();
        QCOMPARE(rig.session.state(), State::Shown);
        QCOMPARE(rig.random.reseeds, 1);
        QVERIFY(rig.port.writes.isEmpty());
        const RaceResult& r = rig.session.result();
        QCOMPARE(r.lanes[0].reactionTime, QStringLiteral("-0.0060"));
        QCOMPARE(r.lanes[1].reactionTime, QStringLiteral("0.0040"));
        QCOMPARE(r.winLight, QByteArray("GR81"));
        rig.session.commit();
        rig.session.resetUnit();
        QVERIFY(rig.port.writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRaceSession)
#include "tst_race_session.moc"
