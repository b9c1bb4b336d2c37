#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventExport.h"
#include "event/EventRaceStore.h"
#include "platform/Failure.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(19, 5, 7));

RaceRecord lane(const QString& side, qint16 number)
{
    RaceRecord r;
    r.ClassName = QStringLiteral("Stock, \"Pro\"");
    r.Racer = QStringLiteral("Zoë 雷\r\nline two");
    r.Lane = side;
    r.RaceNumber = number;
    r.ReactionTime = std::nanf("");
    r.TimingPoint = {0.1f, 1.0f / 3.0f, 0.78f, 0, std::numeric_limits<float>::infinity()};
    r.Speed = 123.456789f;
    r.ElapsedTime = 1.0f - std::numeric_limits<float>::epsilon() / 2;
    r.WinMargin = std::numeric_limits<float>::denorm_min();
    r.Result = side == u"L" ? QStringLiteral("Win") : QStringLiteral("Lost");
    return r;
}

QList<quint32> bits(const RaceRecord& r)
{
    QList<quint32> b;
    for (float v : {r.ReactionTime, r.Speed, r.DialIn, r.ElapsedTime, r.WinMargin})
        b.append(test::bits(v));
    for (float p : r.TimingPoint)
        b.append(test::bits(p));
    return b;
}

void show(EventRaceStore& store, qint16 number)
{
    store.raceShown(lane(QStringLiteral("L"), number), lane(QStringLiteral("R"), number), {});
}

void commit(EventRaceStore& store, qint16 number)
{
    store.raceCommitted(lane(QStringLiteral("L"), number), lane(QStringLiteral("R"), number));
}

QList<qint16> raceNumbers(const std::vector<RaceRecord>& records)
{
    QList<qint16> numbers;
    for (size_t i = 0; i < records.size(); i += 2)
        numbers.append(records[i].RaceNumber);
    return numbers;
}

} // namespace

class TestEventStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A run killed with races shown, committed and cleared away: the next run finds the races of
    // its last log, each once and as they were, until it settles them.
    void aKilledRunIsFoundWholeAndSettledOnce()
    {
        QTemporaryDir dir;
        {
            EventRaceStore killed(dir.path(), kStart);
            show(killed, 1);
            killed.logCleared(kStart);
            show(killed, 2);
            commit(killed, 2);
            show(killed, 3);
            QVERIFY(killed.keptAll());
            QCOMPARE(QFileInfo(killed.path()).fileName(),
                     QStringLiteral("Practice 2026-12-06.sqlite"));
        }
        EventRaceStore next(dir.path(), kStart.addDays(1));
        const auto found = next.findUnfinished();
        QVERIFY(found);
        QCOMPARE(raceNumbers(found->records), (QList<qint16>{2, 3}));
        const RaceRecord expected = lane(QStringLiteral("R"), 3);
        QCOMPARE(found->records[3].Racer, expected.Racer);
        QCOMPARE(bits(found->records[3]), bits(expected));

        // The export shows each race once: committed rows where the race was committed.
        const GridModel grid = eventPassesGrid(EventDatabase(found->name));
        QCOMPARE(grid.rows(), 7);
        QStringList cells;
        for (int c : {2, 5, 6, 8, 9, 10, 16, 17, 18, 19})
            cells << grid.text(2, c);
        QCOMPARE(cells, (QStringList{"1", "R", "Zoë 雷\r\nline two", "NaN", "0.1", "0.33333334",
                                     "0.99999994", "1e-45", "Lost", "Shown"}));
        QCOMPARE(grid.text(4, 19), QStringLiteral("Committed"));
        QCOMPARE(grid.text(6, 2), QStringLiteral("3"));

        next.markClosed(*found);
        QVERIFY(!next.findUnfinished());
        // The next day's run keeps its own file; a clean quit leaves nothing to find,
        // nor does a copy saved while the run went on.
        show(next, 1);
        Event(next.path())
            .saveCopy(
                next.path().replace(QStringLiteral(".sqlite"), QStringLiteral(" copy.sqlite")));
        next.close();
        QVERIFY(!EventRaceStore(dir.path(), kStart.addDays(2)).findUnfinished());
        QCOMPARE(QDir(dir.filePath(EventRaceStore::kFolderName))
                     .entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name),
                 (QStringList{"Practice 2026-12-06.sqlite", "Practice 2026-12-07 copy.sqlite",
                              "Practice 2026-12-07.sqlite"}));
    }

    // A chosen event takes the following passes and what failed before, in a run of its own; a
    // damaged one is refused and changes nothing.
    void aChosenEventTakesThePassesFromThen()
    {
        QTemporaryDir dir;
        EventRaceStore store(dir.path(), kStart);
        QVERIFY(QDir(dir.path()).mkpath(store.path()));
        QVERIFY_THROWS_EXCEPTION(Failure, show(store, 1));
        const QString damaged = dir.filePath(QStringLiteral("Events/damaged.sqlite"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a database") > 0);
        file.close();
        QVERIFY_THROWS_EXCEPTION(Failure, store.useEvent(damaged));
        QCOMPARE(store.eventName(), QStringLiteral("Practice 2026-12-06"));

        const QString path = dir.filePath(QStringLiteral("Events/Club Night.sqlite"));
        Event::create(path, QStringLiteral("Club Night"), QDate(2026, 12, 5),
                      {{QStringLiteral("Stock"), 0, 0, 8, LadderKind::Fixed}});
        store.useEvent(path);
        QCOMPARE(store.eventName(), QStringLiteral("Club Night"));
        QCOMPARE(store.path(), path);
        commit(store, 1);
        QVERIFY(store.keptAll());
        // A run killed in the chosen event is found there, past the damaged file.
        const auto found = EventRaceStore(dir.path(), kStart).findUnfinished();
        QVERIFY(found);
        QCOMPARE(found->name, path);
        QCOMPARE(raceNumbers(found->records), QList<qint16>{1});
        store.close();
        const EventDatabase db(path);
        QSqlQuery q =
            db.run(QStringLiteral("SELECT run_id, race_number, state FROM pass ORDER BY seq"));
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString() + u' ' + q.value(1).toString() + u' ' +
                        q.value(2).toString();
        QCOMPARE(rows.join(u'|'),
                 QStringLiteral("1 1 Shown|1 1 Shown|1 1 Committed|1 1 Committed"));
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM run WHERE ended IS NULL")).toInt(),
                 0);
        QCOMPARE(Event(path).name(), QStringLiteral("Club Night"));
    }

    // A file that is not a sound database is opened read-only: nothing is written to it, the
    // race is kept for the next try, and the operator is told which file and what to do.
    void aDamagedEventFileIsNeverWritten_data()
    {
        QTest::addColumn<int>("cut");
        QTest::newRow("foreign file") << -1;
        QTest::newRow("truncated") << 2;
        QTest::newRow("pages overwritten") << 0;
    }

    void aDamagedEventFileIsNeverWritten()
    {
        QFETCH(int, cut);
        QTemporaryDir dir;
        QString path;
        {
            EventRaceStore first(dir.path(), kStart);
            for (qint16 n = 1; n <= 40; ++n)
                show(first, n);
            first.close();
            path = first.path();
        }
        QByteArray bytes = fileBytes(path);
        if (cut < 0)
            bytes = QByteArray("\"Bob Diaz\"\r\n\"Carla\"\r\n");
        else if (cut > 0)
            bytes.truncate(bytes.size() / cut);
        else
            bytes.replace(4096, 4096, QByteArray(4096, '\x5a'));
        writeFile(path, bytes);
        QFile::remove(path + QStringLiteral("-wal"));

        EventRaceStore again(dir.path(), kStart);
        try {
            show(again, 41);
            QFAIL("a damaged event file was written");
        } catch (const Failure& f) {
            QVERIFY2(f.description().startsWith(
                         QStringLiteral("The event file \"%1\" is damaged (").arg(path)),
                     qPrintable(f.description()));
            QVERIFY(f.description().endsWith(
                QStringLiteral("). It is opened read-only and nothing is written to it. Keep a "
                               "copy of it, then start a new event or load another one.")));
        }
        QVERIFY(!again.keptAll());
        QCOMPARE(fileBytes(path), bytes);
    }

    // A write that fails part-way (the file size limit, as a full disk) leaves no part of the
    // race, is told with its file, and the next race's write takes it along once the fault is
    // gone. (The file locked by another writer, and a disk really full, at each step of a pass:
    // tst_event_run.)
    void aFailedWriteIsTakenBackAndTriedAgain()
    {
        QTemporaryDir dir;
        EventRaceStore store(dir.path(), kStart);
        show(store, 1);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = rlim_t(QFileInfo(store.path()).size() +
                                QFileInfo(store.path() + QStringLiteral("-wal")).size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString failure;
        try {
            for (qint16 n = 2; n < 200; ++n)
                show(store, n);
        } catch (const Failure& f) {
            failure = f.description();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(failure.startsWith(
                     QStringLiteral("The event file \"%1\" cannot be written").arg(store.path())),
                 qPrintable(failure));
        QVERIFY(!store.keptAll());
        store.writeBacklog();
        QVERIFY(store.keptAll());

        show(store, 500);
        const auto found = EventRaceStore(dir.path(), kStart.addSecs(60)).findUnfinished();
        QVERIFY(found);
        const QList<qint16> numbers = raceNumbers(found->records);
        QCOMPARE(numbers.last(), qint16(500));
        QCOMPARE(numbers.size(), QSet<qint16>(numbers.cbegin(), numbers.cend()).size());
        QCOMPARE(numbers[numbers.size() - 2], qint16(numbers.size() - 1));
    }

    // An event's classes and entries as made, imported whole or not at all, and copied.
    void entriesOfAnEvent()
    {
        QTemporaryDir dir;
        const std::vector<EventClass> classes{
            {QStringLiteral("Stock"), 0, 0, 8, LadderKind::Fixed},
            {QStringLiteral("Bracket"), 2, 0, 16, LadderKind::Repaired},
            {QStringLiteral("Super"), 4, 6.5f, 4, LadderKind::Fixed}};
        for (const QStringList& row :
             tableRows(QStringLiteral(HALVEX_EVENT_TABLES "/entry-imports.tsv"), 4)) {
            const QString path = dir.filePath(row[0] + QStringLiteral(".sqlite"));
            std::unique_ptr<Event> event =
                Event::create(path, QStringLiteral("Club Night"), QDate(2026, 12, 6), classes);
            event->addEntry({0, "Stock", "Bob Diaz", "Red Comet", {}, 0});
            const QStringList refused = event->importEntries(row[1].toLatin1());
            QCOMPARE(refused.join(u'|'), row[2]);
            QCOMPARE(int(Event(path).entries().size()), row[3].toInt());
        }
        const QString path = dir.filePath(
            QStringLiteral("all taken, columns in any order, a byte order mark.sqlite"));
        Event event(path);
        QCOMPARE(event.name(), QStringLiteral("Club Night"));
        QCOMPARE(event.day(), QDate(2026, 12, 6));
        QCOMPARE(event.classes(), classes);
        const Entry alice{3, "Bracket", "Alice Hart", "Yellow, Jacket", "12", 7.25f};
        QCOMPARE(event.entries()[2], alice);

        const QString copy = dir.filePath(QStringLiteral("copy.sqlite"));
        event.saveCopy(copy);
        QCOMPARE(Event(copy).entries(), event.entries());
        QVERIFY_THROWS_EXCEPTION(Failure, event.saveCopy(copy));
        QVERIFY_THROWS_EXCEPTION(Failure, Event::create(copy, QStringLiteral("x"), {}, classes));
        QCOMPARE(eventFiles(dir.path()).first(), copy);
    }
};

QTEST_GUILESS_MAIN(TestEventStore)
#include "tst_event_store.moc"
