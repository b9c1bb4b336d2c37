#include "event/EventRaceStore.h"

#include "event/Event.h"
#include "event/EventDatabase.h"
#include "platform/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <cmath>

namespace halvex {

namespace {

const QString kShown = QStringLiteral("Shown");
const QString kCommitted = QStringLiteral("Committed");
// Races of an unfinished run taken into this run's log: kept so that the log comes back whole
// after another crash, but not passes of their own (the event has them from the run they ran in).
const QString kRestored = QStringLiteral("Restored");
const QString kPractice = QStringLiteral("Practice");

QString timeText(const QDateTime& t)
{
    return t.toString(Qt::ISODateWithMs);
}

// A single that the engine cannot hold as a number (NaN) is kept as NULL and read back as NaN.
QVariant single(float v)
{
    return std::isnan(v) ? QVariant(QMetaType::fromType<double>()) : QVariant(double(v));
}

float single(const QVariant& v)
{
    return v.isNull() ? std::nanf("") : float(v.toDouble());
}

// The runs of the file that neither ended nor were settled, other than `except`, latest first.
QList<qint64> unfinishedRuns(const EventDatabase& db, qint64 except)
{
    QList<qint64> runs;
    QSqlQuery q = db.run(QStringLiteral("SELECT id FROM run WHERE ended IS NULL AND settled = 0 "
                                        "AND id <> ? ORDER BY id DESC"),
                         {except});
    while (q.next())
        runs.append(q.value(0).toLongLong());
    return runs;
}

// How many of the latest practice events, and of the other events, are looked through for a run
// that did not end.
constexpr int kPracticeEventsLookedAt = 7;

} // namespace

EventRaceStore::EventRaceStore(QString programFolder, QDateTime started, QString station)
    : m_dir(QDir(programFolder).filePath(kFolderName)), m_started(std::move(started)),
      m_station(std::move(station))
{}

EventRaceStore::~EventRaceStore() = default;

QString EventRaceStore::practiceEventName(QDate day)
{
    return kPractice + u' ' + day.toString(Qt::ISODate);
}

QString EventRaceStore::path() const
{
    if (!m_chosen.isEmpty())
        return m_chosen;
    return QDir(m_dir).filePath(practiceEventName(m_started.date()) + kSuffix);
}

void EventRaceStore::useEvent(const QString& eventPath)
{
    auto chosen = std::make_unique<EventDatabase>(eventPath);
    if (chosen->isReadOnly())
        throw Failure(chosen->damage());
    const QString name = chosen->value(QStringLiteral("SELECT name FROM event")).toString();
    // The run ends in the file it leaves, so that no start-up takes it for a crashed one; should
    // that fail, the run is offered for a restore later, which loses nothing.
    if (m_db && m_runId != 0 && !m_db->isReadOnly()) {
        try {
            m_db->write([&] {
                m_db->run(QStringLiteral("UPDATE run SET ended = ? WHERE id = ?"),
                          {timeText(QDateTime::currentDateTime()), m_runId});
            });
        } catch (const Failure&) {
        }
    }
    m_db = std::move(chosen);
    m_chosen = eventPath;
    m_chosenName = name.isEmpty() ? QFileInfo(eventPath).completeBaseName() : name;
    m_runId = 0;
}

QString EventRaceStore::eventName() const
{
    return m_chosen.isEmpty() ? practiceEventName(m_started.date()) : m_chosenName;
}

EventDatabase& EventRaceStore::database()
{
    if (!m_db)
        m_db = std::make_unique<EventDatabase>(path());
    return *m_db;
}

void EventRaceStore::keep(std::function<void(EventDatabase&)> work)
{
    m_backlog.push_back(std::move(work));
    EventDatabase& db = database();
    db.write([&] {
        if (m_runId == 0 ||
            db.value(QStringLiteral("SELECT COUNT(*) FROM run WHERE id = ?"), {m_runId}).toInt() ==
                0) {
            if (db.value(QStringLiteral("SELECT COUNT(*) FROM event")).toInt() == 0)
                db.run(QStringLiteral("INSERT INTO event (name, event_date, created) "
                                      "VALUES (?, ?, ?)"),
                       {practiceEventName(m_started.date()), m_started.date().toString(Qt::ISODate),
                        timeText(m_started)});
            m_runId =
                db.value(QStringLiteral("SELECT COALESCE(MAX(id), 0) + 1 FROM run")).toLongLong();
            db.run(QStringLiteral("INSERT INTO run (id, station, started, ended, settled) "
                                  "VALUES (?, ?, ?, NULL, 0)"),
                   {m_runId, m_station, timeText(m_started)});
        }
        for (const auto& step : m_backlog)
            step(db);
    });
    m_backlog.clear();
}

qint64 EventRaceStore::nextSeq(const EventDatabase& db)
{
    // Passes and corrections share one sequence, which orders them for the ladder. It runs on
    // across the stations of a shared event, whose rows the file holds too, so that a heat, a
    // corrected pass and the ladder's order never mix two stations' races.
    return db
        .value(QStringLiteral("SELECT COALESCE(MAX(seq), 0) + 1 FROM (SELECT seq FROM pass "
                              "UNION ALL SELECT seq FROM correction) s"))
        .toLongLong();
}

qint64 EventRaceStore::insertPass(EventDatabase& db, const PassRow& row)
{
    const RaceRecord& r = row.record;
    const qint64 seq = nextSeq(db);
    const EventPairing* p = row.pairing ? &*row.pairing : nullptr;
    const int lane = r.Lane == u"R" ? 1 : 0;
    const QString stage = !p                                            ? QStringLiteral("P")
                          : p->stage == EventPairing::Stage::Qualifying ? QStringLiteral("Q")
                                                                        : QStringLiteral("E");
    QVariantList values{row.station,
                        seq,
                        row.run,
                        row.segment,
                        r.RaceNumber,
                        p ? p->roundName : kPractice,
                        r.ClassName,
                        r.Lane,
                        r.Racer,
                        r.Car,
                        r.Spare1,
                        r.Spare2,
                        single(r.ReactionTime)};
    for (float point : r.TimingPoint)
        values.append(single(point));
    values << single(r.Speed) << single(r.DialIn) << single(r.ElapsedTime) << single(r.WinMargin)
           << r.Result << row.state << timeText(QDateTime::currentDateTime()) << stage
           << (p ? p->round : 0) << (p ? p->pair : 0) << (row.heat != 0 ? row.heat : seq)
           << (p ? p->entries[size_t(lane)] : 0) << row.outcome << (row.byHand ? 1 : 0)
           << row.epoch;
    db.run(
        QStringLiteral("INSERT INTO pass (station, seq, run_id, segment, race_number, "
                       "round_name, class_name, lane, racer, car, spare1, spare2, "
                       "reaction_time, timing_point1, timing_point2, timing_point3, "
                       "timing_point4, timing_point5, speed, dial_in, elapsed_time, "
                       "win_margin, result, state, recorded, stage, round_no, pair_no, heat, "
                       "entry_id, outcome, by_hand, epoch) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                       "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        values);
    return seq;
}

void EventRaceStore::insertRace(EventDatabase& db, const RaceRecord& left, const RaceRecord& right,
                                const QString& state, int segment, const PassContext& context,
                                qint64& heat)
{
    PassRow row{m_station,           m_runId, segment, state,  left, context.pairing,
                context.outcomes[0], false,   0,       m_epoch};
    // A commit's rows belong to the race its shown rows began.
    if (state == kCommitted)
        row.heat = heat;
    const qint64 first = insertPass(db, row);
    if (state == kShown)
        heat = first;
    row.record = right;
    row.outcome = context.outcomes[1];
    row.heat = state == kShown ? first : row.heat;
    insertPass(db, row);
}

void EventRaceStore::raceShown(const RaceRecord& left, const RaceRecord& right,
                               const PassContext& context)
{
    // Its commit goes with it even when this write fails and is tried again later.
    m_lastContext = context;
    m_lastHeat = std::make_shared<qint64>(0);
    keep([this, left, right, context, segment = m_segment, heat = m_lastHeat](EventDatabase& db) {
        insertRace(db, left, right, kShown, segment, context, *heat);
    });
}

void EventRaceStore::raceCommitted(const RaceRecord& left, const RaceRecord& right)
{
    keep([this, left, right, context = m_lastContext, segment = m_segment,
          heat = m_lastHeat](EventDatabase& db) {
        insertRace(db, left, right, kCommitted, segment, context, *heat);
    });
}

void EventRaceStore::racesRestored(const std::vector<RaceRecord>& records)
{
    keep([this, records, segment = m_segment](EventDatabase& db) {
        for (const RaceRecord& r : records)
            insertPass(db, {m_station, m_runId, segment, kRestored, r, {}, {}, false, 0, m_epoch});
    });
}

void EventRaceStore::writeBacklog()
{
    if (!m_backlog.empty())
        keep([](EventDatabase&) {});
}

void EventRaceStore::logCleared(const QDateTime&)
{
    // The passes that follow are a log of their own, which is what a restore brings back.
    ++m_segment;
}

void EventRaceStore::close()
{
    if (m_runId == 0 && m_backlog.empty())
        return;
    keep([this](EventDatabase& db) {
        db.run(QStringLiteral("UPDATE run SET ended = ? WHERE id = ?"),
               {timeText(QDateTime::currentDateTime()), m_runId});
    });
}

std::optional<RaceStore::Unfinished> EventRaceStore::findUnfinished() const
{
    // Named by their day, the practice events sort by it.
    const QStringList practice = QDir(m_dir).entryList({kPractice + QStringLiteral(" *") + kSuffix},
                                                       QDir::Files, QDir::Name | QDir::Reversed);
    QStringList files;
    for (const QString& name : practice.mid(0, kPracticeEventsLookedAt))
        files.append(QDir(m_dir).filePath(name));
    // A chosen event keeps its run too; the ones changed last are looked at after the practice
    // events, a damaged one passed over without a word, as it has nothing to restore.
    QStringList chosen;
    for (const QString& file : eventFiles(m_dir))
        if (!QFileInfo(file).fileName().startsWith(kPractice + u' '))
            chosen.append(file);
    chosen = chosen.mid(0, kPracticeEventsLookedAt);
    for (const QString& file : files + chosen) {
        try {
            const EventDatabase db(file);
            for (const qint64 run : unfinishedRuns(db, file == path() ? m_runId : 0)) {
                Unfinished found{file, racesOfRun(db, run)};
                if (!found.records.empty()) {
                    m_offered = {file, run};
                    return found;
                }
            }
        } catch (const Failure&) {
            if (!chosen.contains(file))
                throw;
        }
    }
    return std::nullopt;
}

std::vector<RaceRecord> EventRaceStore::racesOfRun(const EventDatabase& db, qint64 run)
{
    QSqlQuery q = db.run(
        QStringLiteral("SELECT class_name, racer, car, lane, race_number, spare1, spare2, "
                       "reaction_time, timing_point1, timing_point2, timing_point3, "
                       "timing_point4, timing_point5, speed, dial_in, elapsed_time, win_margin, "
                       "result, state FROM pass WHERE run_id = ? AND station = (SELECT station "
                       "FROM run WHERE id = ?) AND segment = (SELECT MAX(segment) FROM pass "
                       "WHERE run_id = ? AND station = (SELECT station FROM run WHERE id = ?)) "
                       "ORDER BY seq"),
        {run, run, run, run});
    std::vector<RaceRecord> records;
    // Two rows a race, left lane first; a commit replaces the race's shown rows.
    bool lastShown = false;
    while (q.next()) {
        RaceRecord r;
        r.ClassName = q.value(0).toString();
        r.Racer = q.value(1).toString();
        r.Car = q.value(2).toString();
        r.Lane = q.value(3).toString();
        r.RaceNumber = qint16(q.value(4).toInt());
        r.Spare1 = q.value(5).toString();
        r.Spare2 = q.value(6).toString();
        r.ReactionTime = single(q.value(7));
        for (int i = 0; i < 5; ++i)
            r.TimingPoint[size_t(i)] = single(q.value(8 + i));
        r.Speed = single(q.value(13));
        r.DialIn = single(q.value(14));
        r.ElapsedTime = single(q.value(15));
        r.WinMargin = single(q.value(16));
        r.Result = q.value(17).toString();
        const bool shown = q.value(18).toString() == kShown;
        if (r.Lane == u"L") {
            if (!shown && lastShown && !records.empty() &&
                records.back().RaceNumber == r.RaceNumber && records.size() % 2 == 0)
                records.resize(records.size() - 2);
            lastShown = shown;
        }
        records.push_back(r);
    }
    if (records.size() % 2 != 0)
        records.pop_back();
    return records;
}

void EventRaceStore::markClosed(const Unfinished& run)
{
    if (m_offered.first != run.name)
        return;
    EventDatabase own(run.name);
    own.write([&] {
        own.run(QStringLiteral("UPDATE run SET settled = 1 WHERE id = ?"), {m_offered.second});
    });
    m_offered = {};
}

} // namespace halvex
