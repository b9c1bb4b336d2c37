#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventRaceStore.h"
#include "event/EventRounds.h"
#include "platform/Failure.h"
#include "station/EventSync.h"
#include "station/StationLink.h"
#include "support/FakeServices.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace halvex;
using namespace halvex::test;

// Waits are generous: a loaded machine may take seconds where an idle one takes milliseconds.
#define WAIT_COMPARE(a, b) QTRY_COMPARE_WITH_TIMEOUT(a, b, 20000)
#define WAIT_VERIFY(a) QTRY_VERIFY_WITH_TIMEOUT(a, 20000)
#define WAIT_VERIFY2(a, m) QTRY_VERIFY2_WITH_TIMEOUT(a, m, 20000)

namespace {

// A link that ticks five times a second, so that the tests see what an operator sees in
// seconds within a few hundred milliseconds.
const StationLink::Timing kQuick{200, 1000};

ServerAddress server(const QString& user, const QString& station, StationRole role)
{
    ServerAddress a;
    a.host = QStringLiteral("127.0.0.1");
    a.port = qEnvironmentVariableIntValue("HALVEX_TEST_PG_PORT");
    a.user = user;
    a.station = station;
    a.role = role;
    return a;
}

// A statement as the server's superuser, for what only an outsider does to the server.
void asSuperuser(const QString& sql)
{
    const QString name = QStringLiteral("superuser");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(qEnvironmentVariableIntValue("HALVEX_TEST_PG_PORT"));
        db.setDatabaseName(QStringLiteral("halvex"));
        db.setUserName(QStringLiteral("postgres"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
}

void serverScript(const QString& verb)
{
    QCOMPARE(QProcess::execute(QStringLiteral("bash"),
                               {qEnvironmentVariable("HALVEX_EVENT_SERVER_SCRIPT"), verb,
                                qEnvironmentVariable("HALVEX_TEST_PG_DIR")}),
             0);
}

// A new event with one class of four entries on the tree `tree`, put on the server by the tower
// `user`.
ServerEvent newSharedEvent(const QString& path, const QString& user = QStringLiteral("tower"),
                           int tree = 0)
{
    auto event = Event::create(path, QStringLiteral("Shared"), QDate(2026, 12, 6),
                               {{QStringLiteral("Stock"), tree, 0, 4, LadderKind::Fixed}});
    for (const char* name : {"Ann", "Bob", "Cy", "Di"})
        event->addEntry({0, QStringLiteral("Stock"), QString::fromLatin1(name), {}, {}, 7.5f});
    const QString connection = QStringLiteral("create");
    ServerEvent made;
    openServerConnection(server(user, user, StationRole::Tower), connection);
    made = createServerEvent(connection, QStringLiteral("Shared"), QStringLiteral("2026-12-06"));
    QSqlDatabase::removeDatabase(connection);
    return made;
}

// A station's event file, made before its link starts, as the program chooses an event before
// it links it: the window's side and the link never make the same new file at once.
QString stationFile(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    const EventDatabase made(path);
    return path;
}

void race(EventRaceStore& store, int n)
{
    RaceRecord r[2];
    for (int i = 0; i < 2; ++i) {
        r[i].ClassName = QStringLiteral("Stock");
        r[i].Lane = i == 0 ? QStringLiteral("L") : QStringLiteral("R");
        r[i].Racer = i == 0 ? QStringLiteral("Ann") : QStringLiteral("Bob");
        r[i].RaceNumber = n;
        r[i].ReactionTime = 0.1f * float(i + 1) + 0.001f * float(n);
        r[i].ElapsedTime = 1.234567f + 0.01f * float(n);
    }
    r[0].Result = QStringLiteral("Win");
    store.raceShown(r[0], r[1], {});
    store.raceCommitted(r[0], r[1]);
}

// The passes of a file as "station/seq state et-bits", in order.
QStringList passes(const QString& path)
{
    const EventDatabase db(path);
    QSqlQuery q = db.run(
        QStringLiteral("SELECT station, seq, state, elapsed_time FROM pass ORDER BY station, seq"));
    QStringList rows;
    while (q.next())
        rows << QStringLiteral("%1/%2 %3 %4")
                    .arg(q.value(0).toString())
                    .arg(q.value(1).toLongLong())
                    .arg(q.value(2).toString())
                    .arg(std::bit_cast<quint32>(q.value(3).toFloat()), 8, 16, QLatin1Char('0'));
    return rows;
}

// A `halvex-station` process following the event `schema` into `file` as `station`, signed in
// as `user`; publishing the results page into `publish` when given.
struct Display
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString file;
    void start(const QString& user, const QString& station, const QString& schema,
               const QString& publish = {})
    {
        process->start(qEnvironmentVariable("HALVEX_STATION"),
                       {"--host", "127.0.0.1", "--port",
                        qEnvironmentVariable("HALVEX_TEST_PG_PORT"), "--user", user, "--station",
                        station, "--publish", publish, schema, file});
    }
    ~Display()
    {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
};

} // namespace

class TestStation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A test that failed with the server stopped leaves it stopped.
    void init() { serverScript(QStringLiteral("resume")); }

    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            QFAIL("Qt's PostgreSQL driver is not installed (libqt6sql6-psql).");
    }

    // A tower races 50 races while two display stations, programs of their own, follow: the
    // tower's link is cut in the middle, and later the server is stopped while the tower races
    // on. Every pass reaches the server and both displays once, its time to the bit.
    void displaysFollowATowerThroughACutLinkAndAStoppedServer()
    {
        QTemporaryDir dir;
        const QString towerFile = dir.filePath(QStringLiteral("tower.sqlite"));
        const ServerEvent shared = newSharedEvent(towerFile);
        EventRaceStore store(dir.path(), QDateTime::currentDateTime());
        store.useEvent(towerFile);
        StationStatus status;
        // Statuses still queued when the test ends go with this, not to a status long gone.
        auto receiver = std::make_unique<QObject>();
        const auto startTower = [&] {
            auto* link = new StationLink(
                server(QStringLiteral("tower"), QStringLiteral("tower"), StationRole::Tower),
                towerFile, shared.schema, kQuick);
            connect(link, &StationLink::statusChanged, receiver.get(),
                    [&](const StationStatus& s) { status = s; });
            return std::make_unique<StationThread>(link);
        };
        auto tower = startTower();
        WAIT_VERIFY(status.inControl);

        std::vector<Display> displays(2);
        for (int i = 0; i < 2; ++i) {
            Display& d = displays[size_t(i)];
            d.file = dir.filePath(QStringLiteral("display%1.sqlite").arg(i));
            // The first display also publishes the results page.
            d.start(i == 0 ? QStringLiteral("display") : QStringLiteral("display2"),
                    QStringLiteral("display%1").arg(i), shared.schema,
                    i == 0 ? dir.path() : QString());
            QVERIFY(d.process->waitForStarted());
        }
        for (int n = 1; n <= 50; ++n) {
            race(store, n);
            tower->syncNow();
            // Races take seconds: the link has sent the race before the next fault.
            if (n == 20 || n == 30)
                WAIT_COMPARE(status.sentSeq, qint64(n * 4));
            if (n == 20)
                asSuperuser(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                           "pg_stat_activity WHERE usename = 'tower'"));
            if (n == 30) {
                serverScript(QStringLiteral("pause"));
                WAIT_VERIFY(!status.online);
            }
            if (n == 35) {
                WAIT_COMPARE(status.text(StationRole::Tower),
                             QStringLiteral("Event server offline: 10 passes waiting"));
                // Started again without the server, the tower still counts what waits.
                tower.reset();
                receiver = std::make_unique<QObject>();
                status = {};
                tower = startTower();
                WAIT_COMPARE(status.text(StationRole::Tower),
                             QStringLiteral("Event server offline: 10 passes waiting"));
                // The displays, whose link ticks once a second, have seen the server gone.
                for (Display& d : displays)
                    WAIT_VERIFY(d.process->peek(1 << 20).contains(
                        "status Event server offline: stale since "));
                serverScript(QStringLiteral("resume"));
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(status.sentSeq, qint64(200), 20000);
        QCOMPARE(status.text(StationRole::Tower),
                 QStringLiteral("Event server online: this station has control"));
        const QStringList sent = passes(towerFile);
        QCOMPARE(sent.size(), 200); // each race's two lanes, shown and committed
        QCOMPARE(sent.filter(QStringLiteral(" Shown ")).size(), 100);
        for (Display& d : displays) {
            QTRY_COMPARE_WITH_TIMEOUT(passes(d.file), sent, 20000);
            d.process->terminate();
            QVERIFY(d.process->waitForFinished());
            const QByteArray said = d.process->readAllStandardOutput();
            QVERIFY2(said.contains("\npasses 100 "), said.constData());
            QVERIFY2(said.contains("status Event server offline: stale since "), said.constData());
        }
        QFile page(dir.filePath(QStringLiteral("results.json")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QJsonObject results = QJsonDocument::fromJson(page.readAll()).object();
        QCOMPARE(results[QStringLiteral("event")][QStringLiteral("name")].toString(),
                 QStringLiteral("Shared"));
        // The server lists every station that has been heard of.
        QStringList seen;
        for (const SeenStation& s : status.stations)
            seen << s.name + QLatin1Char(' ') + s.role;
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("display0 display"),
                              QStringLiteral("display1 display"), QStringLiteral("tower tower")}));
    }

    // A second tower is refused while the first holds control; Take Control moves it and raises
    // the epoch. What the first tower races after that, out of touch, reaches the server and
    // the new tower as stale passes: kept and shown, counted for no round.
    void controlMovesOnlyWhenTaken()
    {
        QTemporaryDir dir;
        const QString fileA = dir.filePath(QStringLiteral("a.sqlite"));
        const QString fileB = stationFile(dir, QStringLiteral("b.sqlite"));
        const ServerEvent shared = newSharedEvent(fileA);
        {
            Event a(fileA);
            EventRounds rounds(a, QStringLiteral("towerA"));
            QueuedRandom random;
            random.queue({0.0f, 0.0f});
            QCOMPARE(rounds.drawRound(QStringLiteral("Stock"), {1, 2, 3, 4}, random), 0);
        }
        auto* linkA = new StationLink(
            server(QStringLiteral("tower"), QStringLiteral("towerA"), StationRole::Tower), fileA,
            shared.schema, kQuick);
        QSignalSpy grantedA(linkA, &StationLink::controlGranted);
        QSignalSpy refusedA(linkA, &StationLink::controlRefused);
        auto threadA = std::make_unique<StationThread>(linkA);
        WAIT_COMPARE(grantedA.size(), 1);
        QCOMPARE(grantedA[0][0].toInt(), 1);

        auto* linkB = new StationLink(
            server(QStringLiteral("tower2"), QStringLiteral("towerB"), StationRole::Tower), fileB,
            shared.schema, kQuick);
        QSignalSpy grantedB(linkB, &StationLink::controlGranted);
        QSignalSpy refusedB(linkB, &StationLink::controlRefused);
        StationStatus statusB;
        QObject receiver;
        connect(linkB, &StationLink::statusChanged, &receiver,
                [&](const StationStatus& s) { statusB = s; });
        StationThread threadB(linkB);
        WAIT_COMPARE(refusedB.size(), 1);
        QCOMPARE(refusedB[0][0].toString(), QStringLiteral("towerA"));
        WAIT_COMPARE(statusB.text(StationRole::Tower),
                     QStringLiteral("Event server online: control is held by towerA"));
        // B has the event and its draw from the server.
        WAIT_COMPARE(Event(fileB).entries().size(), size_t(4));
        // A registration desk's new entry reaches both towers.
        const QString fileR = stationFile(dir, QStringLiteral("r.sqlite"));
        StationThread desk(
            new StationLink(server(QStringLiteral("registration"), QStringLiteral("desk"),
                                   StationRole::Registration),
                            fileR, shared.schema, kQuick));
        StationStatus deskStatus;
        connect(desk.link(), &StationLink::statusChanged, &receiver,
                [&](const StationStatus& s) { deskStatus = s; });
        WAIT_VERIFY2(Event(fileR).entries().size() == 4, qPrintable(deskStatus.problem));
        Event(fileR).addEntry({0, QStringLiteral("Stock"), QStringLiteral("Eve"), {}, {}, 0});
        WAIT_COMPARE(Event(fileA).entries().size(), size_t(5));
        WAIT_COMPARE(Event(fileB).entries().back().racer, QStringLiteral("Eve"));

        threadB.takeControl();
        WAIT_COMPARE(grantedB.size(), 1);
        QCOMPARE(grantedB[0][0].toInt(), 2);
        WAIT_COMPARE(refusedA.size(), 1);
        QCOMPARE(refusedA[0][0].toString(), QStringLiteral("towerB"));

        // A's link goes down; its operator races the first pair regardless, under epoch 1.
        threadA.reset();
        {
            Event a(fileA);
            EventRounds rounds(a, QStringLiteral("towerA"));
            rounds.setEpoch(1);
            const CalledPair first =
                rounds.openPairs(QStringLiteral("Stock"), Stage::Qualifying)[0];
            rounds.enterByHand(first, {{0.1f, 0.2f}, {1.5f, 1.6f}});
        }
        auto* linkA2 = new StationLink(
            server(QStringLiteral("tower"), QStringLiteral("towerA"), StationRole::Tower), fileA,
            shared.schema, kQuick);
        StationThread threadA2(linkA2);
        WAIT_COMPARE(statusB.stale, 2);
        QCOMPARE(statusB.text(StationRole::Tower),
                 QStringLiteral("Event server online: this station has control - 2 passes raced "
                                "without control kept, not counted"));
        Event b(fileB);
        const EventRounds rounds(b, QStringLiteral("towerB"));
        QCOMPARE(rounds.openPairs(QStringLiteral("Stock"), Stage::Qualifying).size(), size_t(2));
        QCOMPARE(passes(fileB).filter(QStringLiteral(" Stale ")).size(), 2);

        // A tower that was never granted control races the second pair: kept, counted nowhere
        // but in its own file.
        const QString fileC = stationFile(dir, QStringLiteral("c.sqlite"));
        StationThread threadC(new StationLink(
            server(QStringLiteral("tower2"), QStringLiteral("towerC"), StationRole::Tower), fileC,
            shared.schema, kQuick));
        WAIT_COMPARE(Event(fileC).entries().size(), size_t(5));
        {
            Event c(fileC);
            EventRounds roundsC(c, QStringLiteral("towerC"));
            roundsC.enterByHand(roundsC.openPairs(QStringLiteral("Stock"), Stage::Qualifying)[1],
                                {{0.1f, 0.2f}, {1.5f, 1.6f}});
        }
        WAIT_COMPARE(statusB.stale, 4);
        QCOMPARE(rounds.openPairs(QStringLiteral("Stock"), Stage::Qualifying).size(), size_t(2));
    }

    // A dial-in changed at the registration desk reaches the tower at once while the racer waits
    // for a pair. One changed while the tower, out of touch, had set up the racer's pair is held
    // back until that pair has raced, and is then told as late, never applied to the raced pair.
    void aDialInChangeWaitsForItsPair()
    {
        QTemporaryDir dir;
        const QString fileT = dir.filePath(QStringLiteral("t.sqlite"));
        const QString fileR = stationFile(dir, QStringLiteral("r.sqlite"));
        const ServerEvent shared = newSharedEvent(fileT, QStringLiteral("tower"), 2);
        const auto towerLink = [&] {
            return new StationLink(
                server(QStringLiteral("tower"), QStringLiteral("tower"), StationRole::Tower), fileT,
                shared.schema, kQuick);
        };
        auto tower = std::make_unique<StationThread>(towerLink());
        StationThread desk(
            new StationLink(server(QStringLiteral("registration"), QStringLiteral("desk"),
                                   StationRole::Registration),
                            fileR, shared.schema, kQuick));
        WAIT_COMPARE(Event(fileR).entries().size(), size_t(4));
        const auto dialIn = [](const QString& file) { return Event(file).entries()[0].dialIn; };
        Event deskEvent(fileR);
        EventRounds deskRounds(deskEvent, QStringLiteral("desk"));
        deskRounds.changeDialIn(1, 7.25f);
        WAIT_COMPARE(dialIn(fileT), 7.25f);

        tower.reset();
        {
            Event t(fileT);
            EventRounds rounds(t);
            QueuedRandom random;
            random.queue({0.0f, 0.0f});
            rounds.drawRound(QStringLiteral("Stock"), {1, 2, 3, 4}, random);
        }
        deskRounds.changeDialIn(1, 7.0f);
        tower = std::make_unique<StationThread>(towerLink());
        StationStatus status;
        QObject receiver;
        connect(tower->link(), &StationLink::statusChanged, &receiver,
                [&](const StationStatus& s) { status = s; });
        WAIT_COMPARE(status.held, 1);
        QCOMPARE(status.text(StationRole::Tower),
                 QStringLiteral("Event server online: this station has control - 1 dial-in "
                                "changes held until their pairs have raced"));
        QCOMPARE(dialIn(fileT), 7.25f);
        // The desk, which now has the draw, locks the dial-in as the tower does.
        WAIT_COMPARE(deskRounds.draws(QStringLiteral("Stock")).size(), size_t(1));
        try {
            deskRounds.changeDialIn(1, 6.5f);
            QFAIL("a set-up pair's dial-in changed");
        } catch (const Failure& f) {
            QCOMPARE(f.description(),
                     QStringLiteral("The dial-in of Ann is locked while the pair Stock Q1: Di "
                                    "vs Ann is still to run: change it once that pair has raced."));
        }

        {
            Event t(fileT);
            EventRounds rounds(t);
            for (const CalledPair& pair :
                 rounds.openPairs(QStringLiteral("Stock"), Stage::Qualifying))
                if (pair.entries[1] == 1)
                    rounds.enterByHand(pair, {{0.1f, 0.2f}, {7.3f, 7.6f}});
        }
        tower->syncNow();
        WAIT_COMPARE(status.late.size(), qsizetype(1));
        QCOMPARE(status.late[0],
                 QStringLiteral("Ann (Stock): dial-in changed to 7 before a pass raced on 7.25"));
        QCOMPARE(status.held, 0);
        QCOMPARE(dialIn(fileT), 7.0f);

        // A second PC under the tower's name is told so and leaves the tower's control alone.
        Display other{.file = dir.filePath(QStringLiteral("o.sqlite"))};
        other.start(QStringLiteral("display"), QStringLiteral("tower"), shared.schema);
        WAIT_VERIFY(other.process->peek(1 << 20).contains(
            "status Event server online: another station uses this station's name (Another "
            "station uses the name \"tower\" on this event: give each station a name of its own "
            "in Settings, Event Server.)\n"));
        QCOMPARE(status.text(StationRole::Tower),
                 QStringLiteral("Event server online: this station has control - 1 dial-in "
                                "changes came after a pass on the old one"));
    }

    // A tower out of touch and the registration desk give one number to two new entries. The
    // tower's draw names its own, so the desk's moves to the next number, at the server and at
    // the desk, and every station ends up with both under the same numbers.
    void anEntryNumberGivenTwiceIsSortedOut()
    {
        QTemporaryDir dir;
        const QString fileT = dir.filePath(QStringLiteral("t.sqlite"));
        const QString fileR = stationFile(dir, QStringLiteral("r.sqlite"));
        const ServerEvent shared = newSharedEvent(fileT);
        const auto towerLink = [&] {
            return new StationLink(
                server(QStringLiteral("tower"), QStringLiteral("tower"), StationRole::Tower), fileT,
                shared.schema, kQuick);
        };
        const auto entries = [](const QString& file) {
            QStringList names;
            for (const Entry& e : Event(file).entries())
                names << QStringLiteral("%1 %2").arg(e.id).arg(e.racer);
            return names.join(u'|');
        };
        auto tower = std::make_unique<StationThread>(towerLink());
        StationThread desk(
            new StationLink(server(QStringLiteral("registration"), QStringLiteral("desk"),
                                   StationRole::Registration),
                            fileR, shared.schema, kQuick));
        WAIT_COMPARE(entries(fileR), QStringLiteral("1 Ann|2 Bob|3 Cy|4 Di"));
        tower.reset();
        {
            Event t(fileT);
            t.addEntry({0, QStringLiteral("Stock"), QStringLiteral("Fay"), {}, {}, 0});
            EventRounds rounds(t);
            QueuedRandom random;
            rounds.drawRound(QStringLiteral("Stock"), {1, 2, 3, 4, 5}, random);
        }
        Event(fileR).addEntry({0, QStringLiteral("Stock"), QStringLiteral("Gus"), {}, {}, 0});
        StationThread display(new StationLink(
            server(QStringLiteral("display"), QStringLiteral("display"), StationRole::Display),
            stationFile(dir, QStringLiteral("d.sqlite")), shared.schema, kQuick));
        WAIT_COMPARE(entries(dir.filePath(QStringLiteral("d.sqlite"))),
                     QStringLiteral("1 Ann|2 Bob|3 Cy|4 Di|5 Gus"));
        tower = std::make_unique<StationThread>(towerLink());
        const QString both = QStringLiteral("1 Ann|2 Bob|3 Cy|4 Di|5 Fay|6 Gus");
        WAIT_COMPARE(entries(fileT), both);
        WAIT_COMPARE(entries(fileR), both);
        WAIT_COMPARE(entries(dir.filePath(QStringLiteral("d.sqlite"))), both);
    }

    // Each station's user has the rights of its role and no more.
    void theServerRefusesWhatARoleMayNotDo()
    {
        QTemporaryDir dir;
        const ServerEvent shared = newSharedEvent(dir.filePath(QStringLiteral("t.sqlite")));
        // The tower makes the event's tables and lets the others read them.
        {
            openServerConnection(
                server(QStringLiteral("tower"), QStringLiteral("t"), StationRole::Tower),
                QStringLiteral("t"));
            EventDatabase db(QStringLiteral("t"), shared.schema, QStringLiteral("t"));
            grantStations(db, shared.schema);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("t"));
        const struct
        {
            const char* user;
            const char* sql;
            bool allowed;
        } rows[] = {
            {"display", "SELECT halvex.heartbeat('%1', 'd', 'display', 'r')", true},
            {"display", "SELECT COUNT(*) FROM %1.pass", true},
            {"display", "INSERT INTO %1.entry VALUES (9, 'Stock', 'Eve', '', '', 0)", false},
            {"display", "DELETE FROM %1.pass", false},
            {"display", "UPDATE halvex.lease SET holder = '%1'", false},
            {"display", "SELECT * FROM halvex.claim_control('%1', 'd', true)", false},
            {"display", "CREATE TABLE %1.mine (x INTEGER)", false},
            {"registration", "INSERT INTO %1.entry VALUES (9, 'Stock', 'Eve', '', '', 0)", true},
            {"registration", "DELETE FROM %1.pass", false},
            {"registration", "SELECT * FROM halvex.claim_control('%1', 'r', true)", false},
        };
        for (const auto& row : rows) {
            const QString user = QString::fromLatin1(row.user);
            openServerConnection(server(user, user, StationRole::Display), user);
            {
                QSqlQuery q(QSqlDatabase::database(user));
                const QString sql = QString::fromLatin1(row.sql).arg(shared.schema);
                QVERIFY2(q.exec(sql) == row.allowed, qPrintable(user + QStringLiteral(": ") + sql));
            }
            QSqlDatabase::removeDatabase(user);
        }
    }
};

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
