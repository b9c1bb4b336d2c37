#include "event/EventBracket.h"
#include "event/EventDatabase.h"
#include "event/EventRounds.h"
#include "event/ResultsPage.h"
#include "event/RoundRows.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>

#include <array>
#include <charconv>
#include <cmath>

namespace halvex {

namespace {

// A single as the shortest decimal that reads back as the same single, so that 7.1 is written
// 7.1 and not as the double it widens to; null for a value that is not a number.
QJsonValue single(float value)
{
    if (!std::isfinite(value))
        return QJsonValue::Null;
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return QByteArray(text.data(), end - text.data()).toDouble();
}

QJsonValue single(const QVariant& stored)
{
    return stored.isNull() ? QJsonValue(QJsonValue::Null) : single(float(stored.toDouble()));
}

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString stageText(Stage stage)
{
    return stage == Stage::Qualifying ? QStringLiteral("qualifying")
                                      : QStringLiteral("eliminations");
}

QString handicapText(Handicap handicap)
{
    switch (handicap) {
    case Handicap::Index:
        return QStringLiteral("index");
    case Handicap::DialIn:
        return QStringLiteral("dial-in");
    case Handicap::HeadsUp:
        break;
    }
    return QStringLiteral("heads-up");
}

QString pairStateText(PairState state)
{
    switch (state) {
    case PairState::Open:
        return QStringLiteral("open");
    case PairState::Decided:
        return QStringLiteral("decided");
    case PairState::Waiting:
        break;
    }
    return QStringLiteral("waiting");
}

QJsonValue calledJson(const EventRounds& rounds, const CalledPair& pair)
{
    const std::vector<Entry> entries = rounds.entriesOf(pair.className);
    const auto racer = [&](EntryId id) {
        const Entry* e = rounds.entry(entries, id);
        return e ? QJsonValue(e->racer) : QJsonValue(QJsonValue::Null);
    };
    return QJsonObject{{QStringLiteral("class"), pair.className},
                       {QStringLiteral("stage"), stageText(pair.stage)},
                       {QStringLiteral("round"), pair.roundName},
                       {QStringLiteral("pair"), pair.pair + 1},
                       {QStringLiteral("left"), racer(pair.entries[0])},
                       {QStringLiteral("right"), racer(pair.entries[1])},
                       {QStringLiteral("text"), rounds.describe(pair)}};
}

QJsonArray qualifyingJson(const EventRounds& rounds, const QString& className,
                          const std::vector<Entry>& entries)
{
    QJsonArray list;
    if (rounds.draws(className).empty())
        return list;
    const QualifyingOrder order = rounds.qualifying(className);
    const int bump = bumpRow(rounds, className);
    for (size_t i = 0; i < order.ranked.size(); ++i) {
        const Qualifier& q = order.ranked[i];
        const Entry* e = rounds.entry(entries, q.entry);
        list.append(QJsonObject{
            {QStringLiteral("position"), int(i) + 1},
            {QStringLiteral("racer"), e ? e->racer : QString::number(q.entry)},
            {QStringLiteral("car"), e ? e->car : QString()},
            {QStringLiteral("number"), e ? e->carNumber : QString()},
            {QStringLiteral("et"), q.counted ? single(q.elapsedTime) : QJsonValue::Null},
            {QStringLiteral("margin"), q.counted ? single(q.margin) : QJsonValue::Null},
            {QStringLiteral("breakout"), q.breakout},
            {QStringLiteral("counted"), q.counted},
            {QStringLiteral("inField"), int(i) < order.fieldCount},
            {QStringLiteral("bumpSpot"), int(i) == bump}});
    }
    return list;
}

QJsonValue seatJson(const BracketSeat& seat)
{
    if (seat.racer.isEmpty())
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("racer"), seat.racer},
                       {QStringLiteral("number"), seat.carNumber},
                       {QStringLiteral("etText"), seat.elapsedTime},
                       {QStringLiteral("rtText"), seat.reactionTime},
                       {QStringLiteral("winner"), seat.winner}};
}

QJsonObject ladderJson(const EventRounds& rounds, const EventClass& cls,
                       const std::vector<Entry>& entries, QSet<qint64>& notStanding)
{
    const Ladder ladder = rounds.ladder(cls.name);
    const BracketSheet sheet = bracketSheet(rounds.event().name(), cls, ladder,
                                            rounds.passes(cls.name, Stage::Eliminations), entries);
    for (qint64 seq : ladder.ignored)
        notStanding.insert(seq);
    QJsonArray roundList;
    for (size_t r = 0; r < ladder.rounds.size() && r < sheet.rounds.size(); ++r) {
        QJsonArray pairs;
        for (size_t k = 0; k < ladder.rounds[r].size() && k < sheet.rounds[r].pairs.size(); ++k) {
            const LadderPair& lp = ladder.rounds[r][k];
            const BracketPair& bp = sheet.rounds[r].pairs[k];
            for (qint64 seq : lp.voided)
                notStanding.insert(seq);
            const Entry* winner = lp.state == PairState::Decided && lp.winner != kNoEntry
                                      ? rounds.entry(entries, lp.winner)
                                      : nullptr;
            pairs.append(QJsonObject{
                {QStringLiteral("pair"), int(k) + 1},
                {QStringLiteral("state"), pairStateText(lp.state)},
                {QStringLiteral("left"), seatJson(bp.seats[0])},
                {QStringLiteral("right"), seatJson(bp.seats[1])},
                {QStringLiteral("winner"), winner ? QJsonValue(winner->racer) : QJsonValue()},
                {QStringLiteral("note"), bp.note}});
        }
        roundList.append(QJsonObject{{QStringLiteral("name"), sheet.rounds[r].name},
                                     {QStringLiteral("pairs"), pairs}});
    }
    return QJsonObject{{QStringLiteral("rounds"), roundList},
                       {QStringLiteral("winner"), textOrNull(sheet.winner)}};
}

QJsonArray standingsJson(const EventRounds& rounds, const QString& className,
                         const std::vector<Entry>& entries)
{
    QJsonArray list;
    for (const ClassStanding& s : rounds.results(className)) {
        const Entry* e = rounds.entry(entries, s.entry);
        list.append(
            QJsonObject{{QStringLiteral("place"), s.place},
                        {QStringLiteral("racer"), s.racer},
                        {QStringLiteral("car"), e ? e->car : QString()},
                        {QStringLiteral("number"), s.carNumber},
                        {QStringLiteral("round"), s.round},
                        {QStringLiteral("bestEt"),
                         s.bestElapsedTime ? single(*s.bestElapsedTime) : QJsonValue::Null},
                        {QStringLiteral("bestRt"),
                         s.bestReactionTime ? single(*s.bestReactionTime) : QJsonValue::Null}});
    }
    return list;
}

QJsonObject classJson(const EventRounds& rounds, const EventClass& cls, QSet<qint64>& notStanding)
{
    const std::vector<Entry> entries = rounds.entriesOf(cls.name);
    for (const Correction& c : rounds.corrections(cls.name, Stage::Qualifying))
        if (c.kind == CorrectionKind::Rerun)
            notStanding.insert(c.pass);
    const bool started = rounds.ladderStarted(cls.name);
    const Handicap handicap = handicapOfTree(cls.tree);
    return QJsonObject{
        {QStringLiteral("name"), cls.name},
        {QStringLiteral("handicap"), handicapText(handicap)},
        {QStringLiteral("index"), handicap == Handicap::Index ? single(cls.index) : QJsonValue()},
        {QStringLiteral("fieldSize"), cls.fieldSize},
        {QStringLiteral("entries"), int(entries.size())},
        {QStringLiteral("qualifying"), qualifyingJson(rounds, cls.name, entries)},
        {QStringLiteral("ladder"),
         started ? QJsonValue(ladderJson(rounds, cls, entries, notStanding)) : QJsonValue()},
        {QStringLiteral("results"),
         started ? standingsJson(rounds, cls.name, entries) : QJsonArray()}};
}

// Each lane that held a racer, in the order run: a race's shown rows are its pass (its commit
// repeats them for the run's log, a restore for a later run's).
QJsonArray passesJson(const EventDatabase& db, const QSet<qint64>& notStanding)
{
    QSqlQuery q = db.run(QStringLiteral(
        "SELECT class_name, stage, round_name, pair_no, lane, racer, car, reaction_time, "
        "elapsed_time, speed, outcome, by_hand, heat FROM pass WHERE state = 'Shown' AND "
        "(entry_id <> 0 OR racer <> '') ORDER BY station, heat, lane"));
    QJsonArray list;
    while (q.next()) {
        const QString stage = q.value(1).toString();
        const bool practice = stage != u"Q" && stage != u"E";
        const QVariant et = q.value(8);
        const QVariant speed = q.value(9);
        list.append(QJsonObject{
            {QStringLiteral("class"), q.value(0).toString()},
            {QStringLiteral("stage"), practice        ? QStringLiteral("practice")
                                      : stage == u"Q" ? stageText(Stage::Qualifying)
                                                      : stageText(Stage::Eliminations)},
            {QStringLiteral("round"), q.value(2).toString()},
            {QStringLiteral("pair"), practice ? QJsonValue() : QJsonValue(q.value(3).toInt() + 1)},
            {QStringLiteral("lane"),
             q.value(4).toString() == u"R" ? QStringLiteral("right") : QStringLiteral("left")},
            {QStringLiteral("racer"), q.value(5).toString()},
            {QStringLiteral("car"), q.value(6).toString()},
            {QStringLiteral("rt"), single(q.value(7))},
            // A lane that did not finish is kept as 0 or as no value at all.
            {QStringLiteral("et"), et.toDouble() > 0 ? single(et) : QJsonValue()},
            {QStringLiteral("speed"), speed.toDouble() > 0 ? single(speed) : QJsonValue()},
            {QStringLiteral("outcome"), q.value(10).toString()},
            {QStringLiteral("byHand"), q.value(11).toInt() != 0},
            {QStringLiteral("void"), !practice && notStanding.contains(q.value(12).toLongLong())}});
    }
    return list;
}

} // namespace

QJsonDocument resultsJson(const EventRounds& rounds, const QDateTime& generated,
                          const std::optional<EventPairing>& nowRacing)
{
    const Event& event = rounds.event();
    // A pairing left over from another event is not racing here.
    std::optional<EventPairing> lanes = nowRacing;
    if (lanes && lanes->eventName != event.name())
        lanes.reset();
    QJsonValue racing;
    if (lanes)
        racing = calledJson(rounds, CalledPair{lanes->className,
                                               lanes->stage == EventPairing::Stage::Qualifying
                                                   ? Stage::Qualifying
                                                   : Stage::Eliminations,
                                               lanes->round, lanes->pair, lanes->roundName,
                                               lanes->entries, lanes->bye});
    const std::vector<CalledPair> waiting = rounds.waiting(lanes);
    QSet<qint64> notStanding;
    QJsonArray classes;
    for (const EventClass& c : event.classes())
        classes.append(classJson(rounds, c, notStanding));
    return QJsonDocument(QJsonObject{
        {QStringLiteral("format"), 1},
        {QStringLiteral("event"),
         QJsonObject{{QStringLiteral("name"), event.name()},
                     {QStringLiteral("date"), event.day().toString(Qt::ISODate)}}},
        {QStringLiteral("generated"), generated.toString(Qt::ISODate)},
        {QStringLiteral("nowRacing"), racing},
        {QStringLiteral("onDeck"), waiting.empty() ? QJsonValue() : calledJson(rounds, waiting[0])},
        {QStringLiteral("inTheHole"),
         waiting.size() < 2 ? QJsonValue() : calledJson(rounds, waiting[1])},
        {QStringLiteral("classes"), classes},
        {QStringLiteral("passes"), passesJson(rounds.event().database(), notStanding)}});
}

} // namespace halvex
