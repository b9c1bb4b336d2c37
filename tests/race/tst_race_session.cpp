#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "race/Colours.h"
#include "race/Credits.h"
#include "race/RaceSession.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;
using namespace std::chrono_literals;

namespace {

// Left: RT 0.0500, finish 1.0500; right: RT 0.0400, finish 1.0800: the left lane wins.
const QByteArray kReport = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n10700\n"
                           "10500\n10800\n0\n0\n0\n0\n!\n";

struct Rig
{
    MemoryPort port;
    ScriptedPrompter prompter;
    SystemClock clock;
    QueuedRandom random;
    Settings settings;
    RaceLog log;
    QTemporaryDir dir;
    Credits credits{ProgramFolder(dir.path())};
    ModCommand command{port, prompter, clock};
    RaceSession session{command, settings, log, credits, random, prompter};
    // What had been written when the start delay ran.
    QByteArray writtenAtDelay;
    int delays = 0;

    Rig()
    {
        port.opened = true;
        port.answers.insert("N\n", kReport);
        port.answers.insert("P\n", kReport);
        command.setTimeLimit(100ms, 10ms);
        session.setStartDelay([this] {
            ++delays;
            writtenAtDelay = port.written();
        });
    }
};

RaceSetup proTree()
{
    RaceSetup s;
    s.treeIndex = 3;
    s.className = QStringLiteral("Stock");
    s.racerLeft = QStringLiteral("Ann");
    s.racerRight = QStringLiteral("Bob");
    s.carLeft = QStringLiteral("Red");
    s.carRight = QStringLiteral("Blue");
    s.dialInLeft = QStringLiteral("7.500");
    s.dialInRight = QStringLiteral("7.250");
    return s;
}

} // namespace

class TestRaceSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
            {"empty right", [](RaceSetup& s) { s.dialInsShown = true, s.dialInRight.clear(); },
             "Dial-In must be numeric", "Dail-In Value", SetupField::DialInRight},
            {"zero right", [](RaceSetup& s) { s.dialInsShown = true, s.dialInRight = "0.000"; },
             "Enter Dial-In values.\r\nOr select a different Tree.", "Dial-In Values",
             SetupField::None},
            {"beyond a single", [](RaceSetup& s) { s.dialInsShown = true, s.dialInLeft = "1e39"; },
             "Overflow", app, SetupField::None},
        };
        for (const auto& c : cases) {
            Rig rig;
            RaceSetup s = proTree();
            c.change(s);
            QCOMPARE(rig.session.start(s), c.focus);
            QCOMPARE(rig.prompter.texts(), c.text.isEmpty() ? QStringList() : QStringList{c.text});
            if (!c.text.isEmpty()) {
                QCOMPARE(rig.prompter.messages[0].title, c.title);
                // Only the zero dial-ins offer Cancel, and it stops the race all the same.
                QCOMPARE(rig.prompter.messages[0].buttons,
                         c.title == "Dial-In Values" ? Buttons::OkCancel : Buttons::Ok);
            }
            QVERIFY2(rig.port.writes.isEmpty(), c.name);
            QCOMPARE(rig.delays, 0);
        }
    }

    void commandsFollowTheTreeAndTheStaging_data()
    {
        QTest::addColumn<int>("tree");
        QTest::addColumn<bool>("preStageStage");
        QTest::addColumn<QByteArray>("beforeDelay");
        QTest::addColumn<QByteArray>("afterDelay");
        QTest::newRow("pro tree, pre-stage/start")
            << 3 << false << QByteArray("O\nGL21\nGR21\n") << QByteArray("A\n0\n0\nP\nGL81\n");
        QTest::newRow("full tree, pre-stage/stage")
            << 0 << true << QByteArray("O\n") << QByteArray("A\n0\n0\nN\nGL81\n");
        QTest::newRow("dial-in full tree")
            << 2 << true << QByteArray("O\n") << QByteArray("A\n0\n2500\nN\nGR81\n");
        QTest::newRow("pro tree with index")
            << 4 << true << QByteArray("O\n") << QByteArray("A\n0\n2500\nP\nGR81\n");
        // No tree chosen: nothing tells the unit to start, and the report never comes.
        QTest::newRow("no tree") << -1 << true << QByteArray("O\n") << QByteArray();
    }

    void commandsFollowTheTreeAndTheStaging()
    {
        QFETCH(int, tree);
        QFETCH(bool, preStageStage);
        QFETCH(QByteArray, beforeDelay);
        QFETCH(QByteArray, afterDelay);
        Rig rig;
        DragSettings settings;
        settings.PreStageStage = preStageStage;
        rig.settings.replace(settings);
        RaceSetup s = proTree();
        s.treeIndex = static_cast<qint16>(tree);
        rig.session.start(s);
        QCOMPARE(rig.delays, 1);
        QCOMPARE(rig.writtenAtDelay, beforeDelay);
        QCOMPARE(rig.port.written(), beforeDelay + afterDelay);
        QCOMPARE(rig.session.resultPending(), !afterDelay.isEmpty());
    }

    void aResultIsCommittedExactlyOnce()
    {
        Rig rig;
        QSignalSpy results(&rig.session, &RaceSession::resultReady);
        QSignalSpy pending(&rig.session, &RaceSession::pendingChanged);
        QSignalSpy logChanged(&rig.log, &RaceLog::changed);
        rig.session.start(proTree());
        QCOMPARE(results.size(), 1);
        const RaceResult& r = rig.session.result();
        QCOMPARE(r.caption, QStringLiteral("Statistics - Race # 1"));
        QCOMPARE(r.lanes[0].elapsedTime, QStringLiteral("1.0000"));
        QCOMPARE(rig.log.raceCounter(), qint16(1));
        QCOMPARE(rig.log.count(), qint16(0));
        QCOMPARE(rig.log.record(0).Result, QStringLiteral("Win"));
        QCOMPARE(rig.log.record(1).Racer, QStringLiteral("Bob"));
        QVERIFY(rig.session.resultPending());
        QCOMPARE(pending.size(), 1);

        // While the result waits for its commit, Start Race does nothing.
        rig.port.writes.clear();
        rig.session.start(proTree());
        QVERIFY(rig.port.writes.isEmpty());
        QCOMPARE(results.size(), 1);

        rig.session.commit();
        rig.session.commit();
        QCOMPARE(rig.log.count(), qint16(2));
        QCOMPARE(logChanged.size(), 1);
        QCOMPARE(pending.size(), 2);
        QVERIFY(!pending.last().at(0).toBool());
        rig.session.resetUnit();
        QCOMPARE(rig.port.written(), QByteArray("O\n"));
    }

    void noReportNoResult()
    {
        Rig rig;
        rig.port.answers.clear();
        QSignalSpy results(&rig.session, &RaceSession::resultReady);
        rig.session.start(proTree());
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral(
                     "Problem transmitting data. Verify connections and port settings.")});
        QVERIFY(!rig.session.raceOk());
        QVERIFY(!rig.session.resultPending());
        QCOMPARE(results.size(), 0);
        QCOMPARE(rig.log.raceCounter(), qint16(0));

        // A report whose number does not fit 32 bits is reported, not shown.
        rig.prompter.clear();
        rig.port.answers.insert("P\n", "0\n0\n99999999999\n400\n!\n");
        rig.session.start(proTree());
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("Overflow")});
        QCOMPARE(results.size(), 0);
        QVERIFY(!rig.session.resultPending());

        // A winner lamp that fails is reported; the result stays and is committed.
        rig.prompter.clear();
        rig.port.answers.insert("P\n", kReport);
        rig.port.failing.append("GL81\n");
        rig.session.start(proTree());
        QCOMPARE(rig.prompter.texts(), QStringList{QStringLiteral("The device is not ready")});
        QCOMPARE(results.size(), 1);
        QVERIFY(rig.session.resultPending());
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

        rig.session.start(proTree());
        QVERIFY(rig.session.resultPending());
        QCOMPARE(rig.credits.text(), QStringLiteral("0 Credits"));
        QCOMPARE(rig.credits.colour(), kColourRed);
        QCOMPARE(fileBytes(file), QByteArray("0\r\n"));
        rig.session.commit();

        // None left: the message, and nothing for the unit.
        rig.port.writes.clear();
        rig.session.start(proTree());
        QCOMPARE(rig.prompter.texts(),
                 QStringList{
                     QStringLiteral("You have no credits left. Please insert coin to continue.")});
        QVERIFY(rig.port.writes.isEmpty());
        QVERIFY(!rig.session.resultPending());

        // A race whose report never comes keeps its credit spent; a missing file ends the start
        // with its description.
        writeFile(file, "5\r\n");
        rig.credits.show(true);
        rig.port.answers.clear();
        rig.prompter.clear();
        rig.session.start(proTree());
        QCOMPARE(fileBytes(file), QByteArray("4\r\n"));
        QFile::remove(file);
        rig.prompter.clear();
        rig.port.writes.clear();
        rig.session.start(proTree());
        QCOMPARE(rig.prompter.texts(), QStringList{"File not found: CreditRaces.dat"});
        QVERIFY(rig.port.writes.isEmpty());

        // Without the coin box races leave the credits alone.
        settings.CoinBoxInstalled = 0;
        rig.settings.replace(settings);
        rig.port.answers.insert("P\n", kReport);
        rig.session.start(proTree());
        QVERIFY(rig.session.resultPending());
        QCOMPARE(fileBytes(file), QByteArray("<missing>"));
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
        QCOMPARE(credits.colour(), kColourGreen);
        QCOMPARE(fileBytes(file), QByteArray("3\r\n"));
        // A count past 32767 is refused and changes nothing.
        writeFile(file, "32766\r\n");
        QVERIFY(!credits.insertCoin(2));
        QCOMPARE(credits.text(), QStringLiteral("3 Credits"));
        QCOMPARE(fileBytes(file), QByteArray("32766\r\n"));
        credits.createFileIfMissing();
        QCOMPARE(fileBytes(file), QByteArray("32766\r\n"));
    }

    void aDemoRaceSendsNothing()
    {
        Rig rig;
        rig.command.setDemoMode(true);
        // A left red light (draw 0 gives -60) against 0.0040.
        rig.random.queue({0.0f, 0.1f});
        rig.session.start(proTree());
        QCOMPARE(rig.delays, 1);
        QCOMPARE(rig.random.reseeds, 1);
        QVERIFY(rig.port.writes.isEmpty());
        const RaceResult& r = rig.session.result();
        QCOMPARE(r.lanes[0].reactionTime, QStringLiteral("-0.0060"));
        QCOMPARE(r.lanes[1].reactionTime, QStringLiteral("0.0040"));
        QCOMPARE(r.right.Result, QStringLiteral("Win"));
        QCOMPARE(r.winLight, QByteArray("GR81"));
        rig.session.commit();
        rig.session.resetUnit();
        QVERIFY(rig.port.writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRaceSession)
#include "tst_race_session.moc"
