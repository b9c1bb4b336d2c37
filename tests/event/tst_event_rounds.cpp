#include "event/EventDatabase.h"
#include "event/EventExport.h"
#include "event/EventRaceStore.h"
#include "event/EventRounds.h"
#include "platform/Failure.h"
#include "support/EventPasses.h"
#include "support/FakeServices.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

using Pairs = std::vector<std::array<EntryId, 2>>;

std::vector<EntryId> ranked(const QualifyingOrder& order)
{
    std::vector<EntryId> ids;
    for (const Qualifier& q : order.ranked)
        ids.push_back(q.entry);
    return ids;
}

} // namespace

class TestEventRounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Five entries qualify for a field of four, the ladder runs to its final through a red
    // light, a lane that does not finish, a rerun and a pass entered by hand; a class without
    // qualifying takes its entries as they came. Every answer is read back from the file.
    void anEventRunsFromTheDrawToTheFinal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Club.sqlite"));
        auto event = Event::create(path, QStringLiteral("Club"), QDate(2026, 12, 6),
                                   {{QStringLiteral("Stock"), 0, 0, 4, LadderKind::Fixed},
                                    {QStringLiteral("Open"), 0, 0, 4, LadderKind::Fixed}});
        for (const char* name : {"Ann", "Bob", "Cy", "Di", "Ed"})
            event->addEntry({0, QStringLiteral("Stock"), QString::fromLatin1(name), {}, {}, 0});
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

        raceCalledPair(store, rounds, calls[0], {0.5f, 0.4f}, {7.2f, 7.1f});
        raceCalledPair(store, rounds, calls[1], {-0.1f, 0.4f}, {6.0f, 7.3f});
        raceCalledPair(store, rounds, calls[2], {0.5f, 0}, {7.4f, 0});
        QVERIFY(rounds.openPairs(stock, Stage::Qualifying).empty());
        // Shown and committed rows are one pass; the red light is no qualifying run.
        QCOMPARE(rounds.passes(stock, Stage::Qualifying).size(), size_t(3));
        QCOMPARE(ranked(rounds.qualifying(stock)), (std::vector<EntryId>{5, 3, 4, 1, 2}));
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
        Ladder ladder = rounds.ladder(stock);
        QCOMPARE(ladder.rounds[0][0].winner, EntryId(1));
        QCOMPARE(ladder.rounds[0][1].winner, EntryId(4));
        QCOMPARE(ladder.rounds[0][1].voided, std::vector<qint64>{rerun});
        QVERIFY(rounds.passes(stock, Stage::Eliminations).back().byHand);

        const CalledPair final = rounds.openPairs(stock, Stage::Eliminations).front();
        QCOMPARE(final.roundName, QStringLiteral("Final"));
        QCOMPARE(final.entries, (std::array<EntryId, 2>{4, 1}));
        raceCalledPair(store, rounds, final, {0.5f, 0.5f}, {0, 0});
        QCOMPARE(rounds.ladder(stock).winner, kNoEntry); // neither finished: undecided
        rounds.correct(stock, Stage::Eliminations,
                       {0, CorrectionKind::Override, 1, 0, 0, 1, QStringLiteral("judges")});
        QCOMPARE(rounds.ladder(stock).winner, EntryId(1));

        // The export shows each pass once, with its voiding and its reason, and the override.
        const GridModel grid = eventPassesGrid(event->database());
        QStringList lines;
        for (int r = 1; r < grid.rows(); ++r) {
            QStringList cells;
            for (int c : {3, 5, 6, 18, 21, 22, 23, 24, 25})
                cells.append(grid.text(r, c));
            lines.append(cells.join(u'|'));
        }
        QCOMPARE(
            lines,
            (QStringList{"Q1|L|Cy||1|loss|||", "Q1|R|Ed|Win|1|win|||", "Q1|L|Bob||2|red light|||",
                         "Q1|R|Di|Win|2|win|||", "Q1|L|Ann|Win|3|bye|||", "Q1|R|||3||||",
                         "E1|L|Ed||1|red light|||", "E1|R|Ann|Win|1|win|||",
                         "E1|L|Cy|Win|2|win||void|lights", "E1|R|Di||2|did not finish||void|lights",
                         "E1|L|Cy|Lost|2|loss|yes||", "E1|R|Di|Win|2|win|yes||",
                         "Final|L|Di||1|did not finish|||", "Final|R|Ann||1|did not finish|||",
                         "Final||Ann||1|override|||judges"}));

        // Reopened from the file, the event is as it was.
        Event reopened(path);
        QCOMPARE(EventRounds(reopened).ladder(stock).winner, EntryId(1));
        QCOMPARE(EventRounds(reopened).callOrder().front().className, QStringLiteral("Open"));
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

QTEST_GUILESS_MAIN(TestEventRounds)
#include "tst_event_rounds.moc"
