#include "event/EventRounds.h"

#include "event/EventBracket.h"
#include "event/EventDatabase.h"
#include "event/EventRaceStore.h"
#include "platform/Failure.h"
#include "platform/Random.h"

#include <QDateTime>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <map>

namespace halvex {

namespace {

QString stageKey(Stage stage)
{
    return stage == Stage::Qualifying ? QStringLiteral("Q") : QStringLiteral("E");
}

EventPairing::Stage pairingStage(Stage stage)
{
    return stage == Stage::Qualifying ? EventPairing::Stage::Qualifying
                                      : EventPairing::Stage::Eliminations;
}

const char* const kKinds[] = {"rerun", "scratch", "undo", "override"};

QString kindText(CorrectionKind kind)
{
    return QString::fromLatin1(kKinds[int(kind)]);
}

CorrectionKind kindOf(const QString& text)
{
    for (int i = 0; i < 4; ++i)
        if (text == QLatin1String(kKinds[i]))
            return CorrectionKind(i);
    return CorrectionKind::Rerun;
}

float single(const QVariant& v)
{
    return v.isNull() ? std::nanf("") : float(v.toDouble());
}

} // namespace

EventRounds::EventRounds(Event& event, QString station)
    : m_event(event), m_station(std::move(station))
{}

std::optional<EventClass> EventRounds::eventClass(const QString& className) const
{
    for (const EventClass& c : m_event.classes())
        if (c.name == className)
            return c;
    return std::nullopt;
}

std::vector<Entry> EventRounds::entriesOf(const QString& className) const
{
    std::vector<Entry> all = m_event.entries();
    std::erase_if(all, [&](const Entry& e) {
        return e.className.compare(className, Qt::CaseInsensitive) != 0;
    });
    return all;
}

const Entry* EventRounds::entry(const std::vector<Entry>& entries, EntryId id) const
{
    const auto it =
        std::find_if(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
    return it == entries.end() ? nullptr : &*it;
}

std::vector<std::vector<std::array<EntryId, 2>>> EventRounds::draws(const QString& className) const
{
    std::vector<std::vector<std::array<EntryId, 2>>> rounds;
    QSqlQuery q = m_event.database().run(
        QStringLiteral("SELECT round_no, left_entry, right_entry FROM draw WHERE class_name = ? "
                       "ORDER BY round_no, pair_no"),
        {className});
    while (q.next()) {
        const auto round = size_t(q.value(0).toInt());
        if (rounds.size() <= round)
            rounds.resize(round + 1);
        rounds[round].push_back({q.value(1).toLongLong(), q.value(2).toLongLong()});
    }
    return rounds;
}

int EventRounds::drawRound(const QString& className, std::vector<EntryId> chosen, Random& random)
{
    if (chosen.empty())
        throw Failure(QStringLiteral("Choose the racers of the round first."));
    if (ladderStarted(className))
        throw Failure(
            QStringLiteral("The ladder of %1 has started: its qualifying is over.").arg(className));
    // Fisher-Yates with the program's own random source, so that a test can fix the draw.
    for (size_t i = chosen.size() - 1; i > 0; --i) {
        const auto j = std::min(i, size_t(random.next() * float(i + 1)));
        std::swap(chosen[i], chosen[j]);
    }
    const int round = int(draws(className).size());
    EventDatabase& db = m_event.database();
    db.write([&] {
        for (size_t k = 0; k < chosen.size(); k += 2)
            db.run(QStringLiteral("INSERT INTO draw (class_name, round_no, pair_no, left_entry, "
                                  "right_entry) VALUES (?, ?, ?, ?, ?)"),
                   {className, round, int(k / 2), chosen[k],
                    k + 1 < chosen.size() ? chosen[k + 1] : kNoEntry});
    });
    return round;
}

std::vector<Pass> EventRounds::passes(const QString& className, Stage stage) const
{
    return readPasses(className, stage);
}

std::vector<Pass> EventRounds::readPasses(const QString& className, Stage stage) const
{
    // A race's shown rows are its pass; its commit repeats them for the run's log.
    QSqlQuery q = m_event.database().run(
        QStringLiteral("SELECT heat, round_no, pair_no, lane, entry_id, reaction_time, "
                       "elapsed_time, dial_in, outcome, result, by_hand FROM pass WHERE "
                       "class_name = ? AND stage = ? AND state = 'Shown' ORDER BY heat, lane"),
        {className, stageKey(stage)});
    std::vector<Pass> passes;
    while (q.next()) {
        const qint64 heat = q.value(0).toLongLong();
        if (passes.empty() || passes.back().seq != heat) {
            passes.emplace_back();
            passes.back().seq = heat;
            passes.back().round = q.value(1).toInt();
            passes.back().pair = q.value(2).toInt();
        }
        Pass& p = passes.back();
        const bool left = q.value(3).toString() != u"R";
        LaneRun& run = left ? p.left : p.right;
        run = {q.value(4).toLongLong(), single(q.value(5)), single(q.value(6)), single(q.value(7))};
        const QString outcome = q.value(8).toString();
        (left ? p.decision.redLightLeft : p.decision.redLightRight) = outcome == u"red light";
        (left ? p.decision.breakoutLeft : p.decision.breakoutRight) = outcome == u"breakout";
        if (q.value(9).toString() == u"Win")
            p.decision.winner = left ? Lane::Left : Lane::Right;
        p.byHand = q.value(10).toInt() != 0;
    }
    return passes;
}

std::vector<Correction> EventRounds::corrections(const QString& className, Stage stage) const
{
    QSqlQuery q = m_event.database().run(
        QStringLiteral("SELECT seq, kind, round_no, pair_no, pass_seq, entry_id, reason FROM "
                       "correction WHERE class_name = ? AND stage = ? ORDER BY seq"),
        {className, stageKey(stage)});
    std::vector<Correction> list;
    while (q.next())
        list.push_back(Correction{q.value(0).toLongLong(), kindOf(q.value(1).toString()),
                                  q.value(2).toInt(), q.value(3).toInt(), q.value(4).toLongLong(),
                                  q.value(5).toLongLong(), q.value(6).toString()});
    return list;
}

QualifyingOrder EventRounds::qualifying(const QString& className) const
{
    const std::optional<EventClass> c = eventClass(className);
    if (!c)
        return {};
    return qualifyingOrder(readPasses(className, Stage::Qualifying),
                           corrections(className, Stage::Qualifying), handicapOfTree(c->tree),
                           c->fieldSize);
}

bool EventRounds::ladderStarted(const QString& className) const
{
    return m_event.database()
               .value(QStringLiteral("SELECT COUNT(*) FROM ladder_seed WHERE class_name = ?"),
                      {className})
               .toInt() > 0;
}

std::vector<EntryId> EventRounds::seeding(const QString& className) const
{
    std::vector<EntryId> seeds;
    QSqlQuery q = m_event.database().run(
        QStringLiteral("SELECT entry_id FROM ladder_seed WHERE class_name = ? ORDER BY position"),
        {className});
    while (q.next())
        seeds.push_back(q.value(0).toLongLong());
    if (!seeds.empty())
        return seeds;
    if (!draws(className).empty())
        return fieldSeeding(qualifying(className));
    // Without qualifying, the entry order up to the field size.
    const std::optional<EventClass> c = eventClass(className);
    for (const Entry& e : entriesOf(className))
        if (!c || c->fieldSize <= 0 || int(seeds.size()) < c->fieldSize)
            seeds.push_back(e.id);
    return seeds;
}

void EventRounds::startLadder(const QString& className)
{
    if (ladderStarted(className))
        return;
    const std::vector<EntryId> seeds = seeding(className);
    if (seeds.size() < 2)
        throw Failure(QStringLiteral("A ladder needs at least two racers: %1 has %2.")
                          .arg(className)
                          .arg(seeds.size()));
    EventDatabase& db = m_event.database();
    db.write([&] {
        for (size_t i = 0; i < seeds.size(); ++i)
            db.run(QStringLiteral("INSERT INTO ladder_seed (class_name, position, entry_id) "
                                  "VALUES (?, ?, ?)"),
                   {className, int(i), seeds[i]});
    });
}

Ladder EventRounds::ladder(const QString& className) const
{
    const std::optional<EventClass> c = eventClass(className);
    const std::vector<EntryId> seeds = seeding(className);
    return buildLadder(seeds, c ? c->ladder : LadderKind::Fixed,
                       readPasses(className, Stage::Eliminations),
                       corrections(className, Stage::Eliminations));
}

BracketSheet EventRounds::bracket(const QString& className) const
{
    const std::optional<EventClass> c = eventClass(className);
    if (!c)
        return {};
    return bracketSheet(m_event.name(), *c, ladder(className),
                        readPasses(className, Stage::Eliminations), entriesOf(className));
}

std::vector<ClassStanding> EventRounds::results(const QString& className) const
{
    const std::optional<EventClass> c = eventClass(className);
    if (!c)
        return {};
    std::vector<Pass> passes = readPasses(className, Stage::Qualifying);
    std::vector<Correction> fixes = corrections(className, Stage::Qualifying);
    for (Pass& p : readPasses(className, Stage::Eliminations))
        passes.push_back(p);
    for (Correction& f : corrections(className, Stage::Eliminations))
        fixes.push_back(f);
    return classResults(ladder(className), passes, entriesOf(className), *c, fixes);
}

std::vector<CalledPair> EventRounds::openPairs(const QString& className, Stage stage) const
{
    std::vector<CalledPair> open;
    if (stage == Stage::Qualifying) {
        const auto rounds = draws(className);
        const std::vector<Pass> passes = readPasses(className, Stage::Qualifying);
        const std::vector<Correction> fixes = corrections(className, Stage::Qualifying);
        for (size_t r = 0; r < rounds.size(); ++r) {
            for (size_t k = 0; k < rounds[r].size(); ++k) {
                const auto here = [&](int round, int pair) {
                    return round == int(r) && pair == int(k);
                };
                bool ran = false;
                for (const Pass& p : passes) {
                    if (!here(p.round, p.pair))
                        continue;
                    ran = ran || !madeVoid(p.seq, fixes);
                }
                if (ran)
                    continue;
                CalledPair call{className,
                                Stage::Qualifying,
                                int(r),
                                int(k),
                                roundName(Stage::Qualifying, int(r), int(rounds.size())),
                                rounds[r][k],
                                rounds[r][k][1] == kNoEntry};
                for (const Correction& c : fixes)
                    if (c.kind == CorrectionKind::Scratch && here(c.round, c.pair))
                        for (EntryId& e : call.entries)
                            if (e == c.entry)
                                e = kNoEntry;
                if (call.entries[0] == kNoEntry && call.entries[1] == kNoEntry)
                    continue;
                open.push_back(call);
            }
        }
        return open;
    }
    if (!ladderStarted(className))
        return open;
    const Ladder l = ladder(className);
    for (size_t r = 0; r < l.rounds.size(); ++r) {
        for (size_t k = 0; k < l.rounds[r].size(); ++k) {
            const LadderPair& p = l.rounds[r][k];
            if (p.state != PairState::Open)
                continue;
            CalledPair call{className,
                            Stage::Eliminations,
                            int(r),
                            int(k),
                            roundName(Stage::Eliminations, int(r), int(l.rounds.size())),
                            {p.left, p.right},
                            p.left == kNoEntry || p.right == kNoEntry};
            for (EntryId& e : call.entries)
                if (std::find(p.scratched.begin(), p.scratched.end(), e) != p.scratched.end())
                    e = kNoEntry;
            if (call.entries[0] == kNoEntry && call.entries[1] == kNoEntry)
                continue;
            // The racer of an empty lane sits left, the lane the better seed takes.
            if (call.entries[0] == kNoEntry)
                std::swap(call.entries[0], call.entries[1]);
            open.push_back(call);
        }
    }
    return open;
}

std::vector<CalledPair> EventRounds::callOrder() const
{
    std::vector<std::pair<int, CalledPair>> all;
    int position = 0;
    for (const EventClass& c : m_event.classes()) {
        const Stage stage = ladderStarted(c.name) ? Stage::Eliminations : Stage::Qualifying;
        for (CalledPair& p : openPairs(c.name, stage))
            all.emplace_back(position, std::move(p));
        ++position;
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
        const auto key = [](const std::pair<int, CalledPair>& x) {
            return std::tuple(int(x.second.stage), x.second.round, x.first, x.second.pair);
        };
        return key(a) < key(b);
    });
    std::vector<CalledPair> order;
    order.reserve(all.size());
    for (auto& [position, pair] : all)
        order.push_back(std::move(pair));
    return order;
}

std::vector<CalledPair> EventRounds::waiting(const std::optional<EventPairing>& inTheLanes) const
{
    std::vector<CalledPair> order = callOrder();
    if (inTheLanes) {
        const Stage stage = inTheLanes->stage == EventPairing::Stage::Qualifying
                                ? Stage::Qualifying
                                : Stage::Eliminations;
        std::erase_if(order, [&](const CalledPair& p) {
            return p.className == inTheLanes->className && p.stage == stage &&
                   p.round == inTheLanes->round && p.pair == inTheLanes->pair;
        });
    }
    return order;
}

std::pair<RaceSetup, EventPairing> EventRounds::setupFor(const CalledPair& pair,
                                                         bool swapLanes) const
{
    const std::optional<EventClass> c = eventClass(pair.className);
    if (!c)
        throw Failure(
            QStringLiteral("There is no class \"%1\" in this event.").arg(pair.className));
    const std::vector<Entry> entries = entriesOf(pair.className);
    std::array<EntryId, 2> lanes = pair.entries;
    if (swapLanes)
        std::swap(lanes[0], lanes[1]);
    RaceSetup setup;
    setup.className = c->name;
    setup.treeIndex = qint16(c->tree);
    setup.dialInsShown = isHandicapTree(c->tree);
    EventPairing pairing{m_event.name(), c->name,   pairingStage(pair.stage),
                         pair.round,     pair.pair, pair.roundName,
                         lanes,          {},        pair.bye};
    QString* racers[2] = {&setup.racerLeft, &setup.racerRight};
    QString* cars[2] = {&setup.carLeft, &setup.carRight};
    DialIn* dialIns[2] = {&setup.dialInLeft, &setup.dialInRight};
    for (size_t i = 0; i < 2; ++i) {
        const Entry* e = entry(entries, lanes[i]);
        if (!e)
            continue;
        *racers[i] = e->racer;
        *cars[i] = e->car;
        pairing.racers[i] = e->racer.trimmed();
        const Handicap h = handicapOfTree(c->tree);
        if (h != Handicap::HeadsUp)
            *dialIns[i] = DialIn(
                QString::number(double(h == Handicap::Index ? c->index : e->dialIn), 'f', 3));
    }
    return {setup, pairing};
}

QString EventRounds::describe(const CalledPair& pair) const
{
    const std::vector<Entry> entries = entriesOf(pair.className);
    QStringList names;
    for (EntryId id : pair.entries)
        if (const Entry* e = entry(entries, id))
            names.append(e->racer);
    return QStringLiteral("%1 %2: %3")
        .arg(pair.className, pair.roundName,
             names.size() == 2 ? names.join(QStringLiteral(" vs "))
                               : names.value(0) + (pair.bye ? QStringLiteral(" (bye)")
                                                            : QStringLiteral(" (solo)")));
}

void EventRounds::changeDialIn(EntryId id, float dialIn)
{
    const std::vector<Entry> all = m_event.entries();
    const Entry* e = entry(all, id);
    if (!e)
        throw Failure(QStringLiteral("The entry is no longer in the event."));
    const std::optional<EventClass> c = eventClass(e->className);
    if (!(dialIn >= 0 && dialIn < 1000) ||
        (c && handicapOfTree(c->tree) == Handicap::DialIn && !(dialIn > 0)))
        throw Failure(QStringLiteral("The dial-in must be a number above 0."));
    for (const CalledPair& pair : callOrder())
        if (pair.className == e->className &&
            std::find(pair.entries.begin(), pair.entries.end(), id) != pair.entries.end())
            throw Failure(QStringLiteral("The dial-in of %1 is locked while the pair %2 is still "
                                         "to run: change it once that pair has raced.")
                              .arg(e->racer, describe(pair)));
    m_event.database().write([&] {
        m_event.database().run(
            QStringLiteral("UPDATE entry SET dial_in = ?, changed = ? WHERE id = ?"),
            {double(dialIn), entryChangeStamp(), id});
    });
}

void EventRounds::correct(const QString& className, Stage stage, Correction c)
{
    if (c.reason.trimmed().isEmpty())
        throw Failure(QStringLiteral("Give the reason for the correction."));
    EventDatabase& db = m_event.database();
    db.write([&] {
        c.seq = EventRaceStore::nextSeq(db);
        db.run(QStringLiteral("INSERT INTO correction (station, seq, class_name, stage, round_no, "
                              "pair_no, kind, pass_seq, entry_id, reason, recorded) VALUES (?, ?, "
                              "?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {m_station, c.seq, className, stageKey(stage), c.round, c.pair, kindText(c.kind),
                c.pass, c.entry, c.reason.trimmed(),
                QDateTime::currentDateTime().toString(Qt::ISODateWithMs)});
    });
}

void EventRounds::enterByHand(const CalledPair& pair, const HandTimes& times)
{
    // Named, not bound: a lambda below takes the pairing.
    const std::pair<RaceSetup, EventPairing> called = setupFor(pair, false);
    const RaceSetup& setup = called.first;
    const EventPairing& pairing = called.second;
    RaceRecord records[2];
    const QString lanes[2] = {QStringLiteral("L"), QStringLiteral("R")};
    for (size_t i = 0; i < 2; ++i) {
        RaceRecord& r = records[i];
        r.ClassName = setup.className;
        r.Lane = lanes[i];
        r.Racer = i == 0 ? setup.racerLeft : setup.racerRight;
        r.Car = i == 0 ? setup.carLeft : setup.carRight;
        r.DialIn = (i == 0 ? setup.dialInLeft : setup.dialInRight).single();
        r.ReactionTime = times.reactionTimes[i];
        r.ElapsedTime = times.elapsedTimes[i];
    }
    records[0].WinMargin =
        (records[0].DialIn - records[1].DialIn) + (records[1].ElapsedTime - records[0].ElapsedTime);
    records[1].WinMargin = -records[0].WinMargin;
    WinnerDecision d = decideWinner(setup.treeIndex, records[0], records[1]);
    applyEventRules(d, records[0], records[1], pairing);
    if (d.winner != Lane::None) {
        records[0].Result = d.winner == Lane::Left ? QStringLiteral("Win") : QStringLiteral("Lost");
        records[1].Result =
            d.winner == Lane::Right ? QStringLiteral("Win") : QStringLiteral("Lost");
    }
    EventDatabase& db = m_event.database();
    db.write([&] {
        EventRaceStore::PassRow row{
            m_station, 0, 0, QStringLiteral("Shown"), records[0], pairing, {}, true, 0, m_epoch};
        row.outcome = outcomeWord(d, records[0], 0, pairing);
        row.heat = EventRaceStore::insertPass(db, row);
        row.record = records[1];
        row.outcome = outcomeWord(d, records[1], 1, pairing);
        EventRaceStore::insertPass(db, row);
    });
}

} // namespace halvex
