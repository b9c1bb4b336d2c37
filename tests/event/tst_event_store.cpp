// The event's file: the races a run stores in it and finds again after a kill, the event's
// classes and entries, the rounds from the draw to the final, and the results published from them.
#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventExport.h"
#include "event/EventRaceStore.h"
#include "event/EventRounds.h"
#include "event/ResultsPage.h"
#include "platform/Failure.h"
#include "support/EventPasses.h"
#include "support/FakeServices.h"
#include "support/FaultFolder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <cstring>
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

QList<quint32> recordBits(const RaceRecord& r)
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

using Pairs = std::vector<std::array<EntryId, 2>>;

QStringList texts(const QJsonValue& list, const QString& key)
{
    QStringList found;
    for (const QJsonValue& v : list.toArray())
        found.append(v[key].toString());
    return found;
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
        QCOMPARE(recordBits(found->records[3]), recordBits(expected));

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

    // Five entries qualify for a field of four, the ladder runs to its final through a red
    // light, a lane that does not finish, a rerun and a pass entered by hand; a class without
    // qualifying takes its entries as they came. Every answer is read back from the file, and the
    // results published before the final show what the rounds show, names that need escaping too.
    void anEventRunsFromTheDrawToTheFinal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Club.sqlite"));
        auto event = Event::create(path, QStringLiteral("Night & <Day>"), QDate(2026, 12, 6),
                                   {{QStringLiteral("Stock"), 0, 0, 4, LadderKind::Fixed},
                                    {QStringLiteral("Open"), 0, 0, 4, LadderKind::Fixed}});
        for (const char* name : {"Ann", "Bob\a", "Cy <Speedy> & Co", "Di", "Ed"})
            event->addEntry({0, QStringLiteral("Stock"), QString::fromLatin1(name),
                             QStringLiteral("Red"), QString::number(std::strlen(name)), 0});
        for (const char* name : {"Fay", "Gus"})
            event->addEntry({0, QStringLiteral("Open"), QString::fromLatin1(name), {}, {}, 0});
        EventRounds rounds(*event);
        EventRaceStore store(dir.path(), QDateTime::currentDateTime());
        store.useEvent(path);
        const QString stock = QStringLiteral("Stock");

        QueuedRandom random;
        random.queue({0.0f, 0.99f, 0.5f, 0.0f});
        QCOMPARE(rounds.drawRound(stock, {1, 2, 3, 4, 5}, random), 0);
        QCOMPARE(rounds.draws(stock), (std::vector<Pairs>{{{3, 5}, {2, 4}, {1, kNoEntry}}}));
        std::vector<CalledPair> calls = rounds.callOrder();
        QCOMPARE(calls.size(), size_t(3));
        QCOMPARE(rounds.describe(calls[2]), QStringLiteral("Stock Q1: Ann (bye)"));
        QCOMPARE(rounds.setupFor(calls[0], true).second.entries, (std::array<EntryId, 2>{5, 3}));

        raceCalledPair(store, rounds, calls[0], {0.5f, 0.4f}, {7.2f, 7.1f}, {101.5f, 102.25f});
        raceCalledPair(store, rounds, calls[1], {-0.1f, 0.4f}, {6.0f, 7.3f});
        raceCalledPair(store, rounds, calls[2], {0.5f, 0}, {7.4f, 0});
        QVERIFY(rounds.openPairs(stock, Stage::Qualifying).empty());
        // Shown and committed rows are one pass; the red light is no qualifying run (the order in
        // full is the published document's).
        QCOMPARE(rounds.passes(stock, Stage::Qualifying).size(), size_t(3));
        QCOMPARE(rounds.seeding(stock), (std::vector<EntryId>{5, 3, 4, 1}));

        rounds.startLadder(stock);
        QVERIFY_THROWS_EXCEPTION(Failure, event->removeEntry(2)); // drawn, though seeded out
        // A later qualifying run moves no seed once the ladder has started.
        QVERIFY_THROWS_EXCEPTION(Failure, rounds.drawRound(stock, {4}, random));
        QCOMPARE(rounds.callOrder().size(), size_t(2)); // Open runs once its ladder starts
        rounds.startLadder(QStringLiteral("Open"));
        calls = rounds.callOrder();
        QCOMPARE(calls.size(), size_t(3));
        QCOMPARE(calls[0].entries, (std::array<EntryId, 2>{5, 1}));
        QCOMPARE(calls[1].entries, (std::array<EntryId, 2>{3, 4}));
        QCOMPARE(calls[2].className, QStringLiteral("Open"));
        const QDateTime at(QDate(2026, 12, 6), QTime(20, 15, 30));
        // The pair in the lanes is racing, not on deck.
        const QJsonObject called =
            resultsJson(rounds, at, rounds.setupFor(calls[0], false).second).object();
        QCOMPARE(called[u"nowRacing"][u"text"].toString(), QStringLiteral("Stock E1: Ed vs Ann"));
        QCOMPARE(called[u"onDeck"][u"text"].toString(),
                 QStringLiteral("Stock E1: Cy <Speedy> & Co vs Di"));
        QCOMPARE(called[u"inTheHole"][u"text"].toString(),
                 QStringLiteral("Open Final: Fay vs Gus"));

        // Ed red-lights and loses; Di does not finish and Cy does, but the pair is rerun and Di
        // wins it by hand.
        raceCalledPair(store, rounds, calls[0], {-0.01f, 0.5f}, {7.0f, 7.5f});
        raceCalledPair(store, rounds, calls[1], {0.5f, 0.5f}, {7.1f, 0});
        const qint64 rerun = rounds.ladder(stock).rounds[0][1].passes.back();
        rounds.correct(stock, Stage::Eliminations,
                       {0, CorrectionKind::Rerun, 0, 1, rerun, kNoEntry, QStringLiteral("lights")});
        QVERIFY_THROWS_EXCEPTION(
            Failure, rounds.correct(stock, Stage::Eliminations,
                                    {0, CorrectionKind::Rerun, 0, 1, rerun, kNoEntry, {}}));
        rounds.enterByHand(rounds.openPairs(stock, Stage::Eliminations).front(),
                           {{0.4f, 0.5f}, {7.3f, 7.0f}});
        // The winners, Ann and Di, are the published document's to show.
        QCOMPARE(rounds.ladder(stock).rounds[0][1].voided, std::vector<qint64>{rerun});
        QVERIFY(rounds.passes(stock, Stage::Eliminations).back().byHand);

        const CalledPair final = rounds.openPairs(stock, Stage::Eliminations).front();
        QCOMPARE(final.roundName, QStringLiteral("Final"));
        QCOMPARE(final.entries, (std::array<EntryId, 2>{4, 1}));
        const QString web = dir.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(web));
        publishResults(web, resultsJson(rounds, at, rounds.setupFor(final, false).second));

        QJsonParseError error{};
        const QJsonObject doc =
            QJsonDocument::fromJson(fileBytes(web + QStringLiteral("/results.json")), &error)
                .object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc[u"event"].toObject(),
                 (QJsonObject{{"name", "Night & <Day>"}, {"date", "2026-12-06"}}));
        QCOMPARE(doc[u"generated"].toString(), QStringLiteral("2026-12-06T20:15:30"));
        QCOMPARE(doc[u"nowRacing"][u"text"].toString(), QStringLiteral("Stock Final: Di vs Ann"));
        QCOMPARE(doc[u"onDeck"][u"text"].toString(), QStringLiteral("Open Final: Fay vs Gus"));

        // Each lane that held a racer, in the order run: the solo pass has one.
        const QJsonArray passes = doc[u"passes"].toArray();
        QCOMPARE(passes.size(), 11);
        QCOMPARE(QJsonDocument(passes[1].toObject()).toJson(QJsonDocument::Compact),
                 QByteArray(R"({"byHand":false,"car":"Red","class":"Stock","et":7.1,)"
                            R"("lane":"right","outcome":"win","pair":1,"racer":"Ed",)"
                            R"("round":"Q1","rt":0.4,"speed":102.25,"stage":"qualifying",)"
                            R"("void":false})"));
        QCOMPARE(bits(float(passes[0][u"et"].toDouble())), bits(7.2f));
        QVERIFY(passes[2][u"et"].isDouble() && passes[4][u"speed"].isNull());
        QStringList voids;
        for (const QJsonValue& p : passes)
            voids.append(p[u"void"].toBool() ? p[u"racer"].toString() : QString());
        QCOMPARE(voids.join(u','), QStringLiteral(",,,,,,,Cy <Speedy> & Co,Di,,"));
        QVERIFY(passes[8][u"et"].isNull()); // Di did not finish

        const QJsonObject stockDoc = doc[u"classes"][0].toObject();
        const QJsonValue order = stockDoc[u"qualifying"];
        QCOMPARE(texts(order, QStringLiteral("racer")),
                 (QStringList{"Ed", "Cy <Speedy> & Co", "Di", "Ann", "Bob\a"}));
        QCOMPARE(bits(float(order[0][u"et"].toDouble())), bits(7.1f));
        QVERIFY(order[3][u"bumpSpot"].toBool() && !order[2][u"bumpSpot"].toBool());
        QVERIFY(order[3][u"inField"].toBool() && !order[4][u"inField"].toBool());
        QVERIFY(!order[4][u"counted"].toBool() && order[4][u"et"].isNull()); // a red light

        const QJsonArray rungs = stockDoc[u"ladder"][u"rounds"].toArray();
        QCOMPARE(texts(rungs, QStringLiteral("name")), (QStringList{"E1", "Final"}));
        const QJsonValue firstRound = rungs[0][u"pairs"];
        QCOMPARE(texts(firstRound, QStringLiteral("winner")), (QStringList{"Ann", "Di"}));
        QCOMPARE(texts(firstRound, QStringLiteral("note")), (QStringList{"", "Rerun, By hand"}));
        QCOMPARE(firstRound[1][u"right"].toObject(), (QJsonObject{{"racer", "Di"},
                                                                  {"number", "2"},
                                                                  {"etText", "7.000"},
                                                                  {"rtText", "0.500"},
                                                                  {"winner", true}}));
        QCOMPARE(rungs[1][u"pairs"][0][u"state"].toString(), QStringLiteral("open"));
        QVERIFY(stockDoc[u"ladder"][u"winner"].isNull());
        QCOMPARE(stockDoc[u"results"].toArray().size(), 5);

        // The page reads as XML, even with a control character in a name, and shows the names
        // and the times as the rounds do.
        const QByteArray html = fileBytes(web + QStringLiteral("/index.html"));
        QXmlStreamReader xml(html);
        QString shown;
        bool viewport = false;
        while (!xml.atEnd()) {
            xml.readNext();
            // Texts between tags, each closed by "|".
            if (xml.isCharacters())
                shown += xml.text();
            else if (xml.isStartElement() || xml.isEndElement())
                shown += u'|';
            if (xml.isStartElement() && xml.name() == u"meta")
                viewport =
                    viewport || (xml.attributes().value(QStringLiteral("name")) == u"viewport" &&
                                 xml.attributes().value(QStringLiteral("content")) ==
                                     u"width=device-width, initial-scale=1");
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(viewport);
        for (const char* expected :
             {"|Night & <Day>|", "|Cy <Speedy> & Co #16|", "|Bob\uFFFD|", "|7.100|",
              "|Now racing:| Stock Final: Di vs Ann|", "|102.25|"})
            QVERIFY2(shown.contains(QString::fromUtf8(expected)), expected);

        raceCalledPair(store, rounds, final, {0.5f, 0.5f}, {0, 0});
        QCOMPARE(rounds.ladder(stock).winner, kNoEntry); // neither finished: undecided
        rounds.correct(stock, Stage::Eliminations,
                       {0, CorrectionKind::Override, 1, 0, 0, 1, QStringLiteral("judges")});
        QCOMPARE(rounds.ladder(stock).winner, EntryId(1));
        // With Open's final in the lanes, nothing waits behind it.
        const QJsonObject last =
            resultsJson(rounds, at, rounds.setupFor(rounds.callOrder()[0], false).second).object();
        QVERIFY(last[u"onDeck"].isNull() && last[u"inTheHole"].isNull());

        // The export shows each pass once, with its voiding and its reason, and the override.
        const GridModel grid = eventPassesGrid(event->database());
        QStringList lines;
        for (int r = 1; r < grid.rows(); ++r) {
            QStringList cells;
            for (int c : {3, 5, 6, 18, 21, 22, 23, 24, 25})
                cells.append(grid.text(r, c));
            lines.append(cells.join(u'|'));
        }
        QCOMPARE(lines, (QStringList{
                            "Q1|L|Cy <Speedy> & Co||1|loss|||", "Q1|R|Ed|Win|1|win|||",
                            "Q1|L|Bob\a||2|red light|||", "Q1|R|Di|Win|2|win|||",
                            "Q1|L|Ann|Win|3|bye|||", "Q1|R|||3||||", "E1|L|Ed||1|red light|||",
                            "E1|R|Ann|Win|1|win|||", "E1|L|Cy <Speedy> & Co|Win|2|win||void|lights",
                            "E1|R|Di||2|did not finish||void|lights",
                            "E1|L|Cy <Speedy> & Co|Lost|2|loss|yes||", "E1|R|Di|Win|2|win|yes||",
                            "Final|L|Di||1|did not finish|||", "Final|R|Ann||1|did not finish|||",
                            "Final||Ann||1|override|||judges"}));

        // Reopened from the file, the event is as it was.
        Event reopened(path);
        QCOMPARE(EventRounds(reopened).ladder(stock).winner, EntryId(1));
        QCOMPARE(EventRounds(reopened).callOrder().front().className, QStringLiteral("Open"));
    }

    // A folder that refuses new files: the page that was there stays as it was. (A folder that
    // is not there, and its message, is event-publish-results.scn.)
    void aFolderThatCannotBeWrittenKeepsTheOldPage()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::Permissions(0x7755)));
        const QString web = dir.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(web));
        writeFile(web + QStringLiteral("/index.html"), "old page");
        QVERIFY(QFile::setPermissions(web, QFile::Permissions(0x5555)));
        const QJsonDocument doc(QJsonObject{{"event", QJsonObject{{"name", "Club"}}}});
        {
            const AsOrdinaryUser user;
            const Failure refused = failureOf([&] { publishResults(web, doc); });
            QVERIFY(refused.description().startsWith(
                QStringLiteral("The results could not be published to the folder \"%1\": ")
                    .arg(web)));
        }
        QCOMPARE(fileBytes(web + QStringLiteral("/index.html")), QByteArray("old page"));
        QCOMPARE(QDir(web).entryList(QDir::Files), QStringList{"index.html"});
    }

    // A file of the first schema, passes and all, opens in the next one and keeps its passes.
    void aFileOfTheFirstSchemaOpensInTheNext()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.sqlite"));
        {
            EventDatabase v1(path, {EventDatabase::eventSchema().front()});
            v1.write([&] {
                v1.run(QStringLiteral("INSERT INTO pass VALUES ('tower', 1, 1, 0, 1, 'Practice', "
                                      "'Stock', 'L', 'Ann', 'Red', '', '', 0.5, 0, 0, 0, 0, 0, "
                                      "99, 0, 7.25, 0, 'Win', 'Shown', '2026-12-05T19:00:00')"));
            });
        }
        EventDatabase next(path);
        QCOMPARE(next.schemaVersion(), int(EventDatabase::eventSchema().size()));
        QSqlQuery q = next.run(QStringLiteral("SELECT racer, elapsed_time, stage, heat, entry_id, "
                                              "by_hand FROM pass"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Ann"));
        QCOMPARE(q.value(1).toDouble(), double(7.25f));
        QCOMPARE(q.value(2).toString(), QStringLiteral("P"));
        QCOMPARE(q.value(3).toInt() + q.value(4).toInt() + q.value(5).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestEventStore)
#include "tst_event_store.moc"
