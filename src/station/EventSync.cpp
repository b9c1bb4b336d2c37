#include "station/EventSync.h"

#include "event/Event.h"
#include "event/EventDatabase.h"
#include "platform/Failure.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <algorithm>

namespace halvex {

namespace {

QStringList columnsOf(const EventDatabase& db, const QString& table)
{
    QSqlQuery q = db.run(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table));
    const QSqlRecord r = q.record();
    QStringList names;
    names.reserve(r.count());
    for (int i = 0; i < r.count(); ++i)
        names << r.fieldName(i);
    return names;
}

// Rows read from one database, to be written into another: read first, so that no write lock is
// held while a server answers.
struct Batch
{
    QString table;
    QStringList columns;
    std::vector<QVariantList> rows;
    QString tail; // the insert's conflict clause
};

Batch readRows(const EventDatabase& from, const QString& table, const QStringList& columns,
               const QString& select, const QVariantList& values, const QString& tail)
{
    Batch batch{table, columns, {}, tail};
    QSqlQuery rows = from.run(select, values);
    while (rows.next()) {
        QVariantList row;
        row.reserve(columns.size());
        for (qsizetype i = 0; i < columns.size(); ++i)
            row << rows.value(int(i));
        batch.rows.push_back(std::move(row));
    }
    return batch;
}

int writeRows(EventDatabase& to, const Batch& batch)
{
    QStringList marks;
    for (qsizetype i = 0; i < batch.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) %4")
            .arg(batch.table, batch.columns.join(u", "), marks.join(u", "), batch.tail);
    int n = 0;
    for (const QVariantList& row : batch.rows)
        if (to.run(insert, row).numRowsAffected() > 0)
            ++n;
    return n;
}

// The rows of a whole table of `from`, in the columns `like` has.
Batch readTable(const EventDatabase& from, const EventDatabase& like, const QString& table,
                const QString& tail)
{
    const QStringList columns = columnsOf(like, table);
    return readRows(from, table, columns,
                    QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u", "), table), {}, tail);
}

// Copies the rows `select` finds in `from` into `table` of `to`, each insert ending in `tail`
// (its conflict clause). The select's columns are the table's, in `columns` order.
int copyRows(const EventDatabase& from, EventDatabase& to, const QString& table,
             const QStringList& columns, const QString& select, const QVariantList& values,
             const QString& tail)
{
    return writeRows(to, readRows(from, table, columns, select, values, tail));
}

int copyTable(const EventDatabase& from, EventDatabase& to, const QString& table,
              const QString& tail = QStringLiteral("ON CONFLICT DO NOTHING"))
{
    const QStringList columns = columnsOf(to, table);
    return copyRows(from, to, table, columns,
                    QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u", "), table), {}, tail);
}

// The event's one row, when the target has none yet.
void copyEventRow(const EventDatabase& from, EventDatabase& to)
{
    if (to.value(QStringLiteral("SELECT COUNT(*) FROM event")).toInt() == 0)
        copyTable(from, to, QStringLiteral("event"), {});
}

// The entries of the server whose number stands for another racer in the station's file.
int entryConflicts(const EventDatabase& server, const EventDatabase& local)
{
    const QString read = QStringLiteral("SELECT id, class_name, racer FROM entry");
    QHash<qint64, QString> mine;
    QSqlQuery own = local.run(read);
    while (own.next())
        mine.insert(own.value(0).toLongLong(),
                    own.value(1).toString() + QChar(0) + own.value(2).toString());
    int conflicts = 0;
    QSqlQuery theirs = server.run(read);
    while (theirs.next()) {
        const auto it = mine.constFind(theirs.value(0).toLongLong());
        if (it != mine.constEnd() &&
            *it != theirs.value(1).toString() + QChar(0) + theirs.value(2).toString())
            ++conflicts;
    }
    return conflicts;
}

// An entry's car, number and dial-in as last changed, at whichever station; a number that stands
// for another racer is left.
const QString kEntryUpdate = QStringLiteral(
    "ON CONFLICT (id) DO UPDATE SET car = excluded.car, car_number = excluded.car_number, "
    "dial_in = excluded.dial_in, changed = excluded.changed WHERE entry.racer = excluded.racer "
    "AND entry.class_name = excluded.class_name AND excluded.changed > entry.changed");

// Keeps out of `batch` (the server's entries) the dial-in changes of entries in `setUp` (counted
// in `held`); of the others, tells each whose entry has raced on its old dial-in in a
// dial-in class since the change was made.
QStringList takeEntryChanges(const EventDatabase& local, Batch& batch,
                             const std::vector<qint64>& setUp, int& held)
{
    struct Known
    {
        double dialIn;
        QString changed;
        QString racer;
        QString className;
    };
    QHash<qint64, Known> mine;
    QSqlQuery own = local.run(
        QStringLiteral("SELECT e.id, e.dial_in, e.changed, e.racer, e.class_name, c.tree FROM "
                       "entry e JOIN event_class c ON c.name = e.class_name"));
    while (own.next())
        if (handicapOfTree(own.value(5).toInt()) == Handicap::DialIn)
            mine.insert(own.value(0).toLongLong(),
                        {own.value(1).toDouble(), own.value(2).toString(), own.value(3).toString(),
                         own.value(4).toString()});
    const qsizetype id = batch.columns.indexOf(QStringLiteral("id"));
    const qsizetype dialIn = batch.columns.indexOf(QStringLiteral("dial_in"));
    const qsizetype changed = batch.columns.indexOf(QStringLiteral("changed"));
    QStringList late;
    held = 0;
    std::erase_if(batch.rows, [&](const QVariantList& row) {
        const auto it = mine.constFind(row[id].toLongLong());
        if (it == mine.constEnd() || row[changed].toString() <= it->changed ||
            row[dialIn].toDouble() == it->dialIn)
            return false;
        if (std::find(setUp.begin(), setUp.end(), it.key()) != setUp.end()) {
            ++held;
            return true;
        }
        const bool racedOnTheOld =
            local
                .value(QStringLiteral("SELECT COUNT(*) FROM pass WHERE entry_id = ? AND "
                                      "dial_in = ? AND recorded > ? AND state <> 'Stale'"),
                       {it.key(), it->dialIn, row[changed]})
                .toInt() > 0;
        if (racedOnTheOld)
            late << QStringLiteral("%1 (%2): dial-in changed to %3 before a pass raced on %4")
                        .arg(it->racer, it->className, QString::number(row[dialIn].toDouble()),
                             QString::number(it->dialIn));
        return false;
    });
    return late;
}

// Every entry of a database by its number, as "class, racer, car": what makes it the entry it is.
QHash<qint64, QString> entryKeys(const EventDatabase& db)
{
    QHash<qint64, QString> keys;
    QSqlQuery q = db.run(QStringLiteral("SELECT id, class_name, racer, car FROM entry"));
    while (q.next())
        keys.insert(q.value(0).toLongLong(), q.value(1).toString() + QChar(0) +
                                                 q.value(2).toString() + QChar(0) +
                                                 q.value(3).toString());
    return keys;
}

qint64 highest(const QHash<qint64, QString>& a, const QHash<qint64, QString>& b)
{
    qint64 top = 0;
    for (const auto* keys : {&a, &b})
        for (auto it = keys->cbegin(); it != keys->cend(); ++it)
            top = std::max(top, it.key());
    return top;
}

// Two stations out of touch may give one number to two entries. The tower's passes and draws
// name its own, so an entry of the server under a number the tower gave another entry moves to
// the number the tower has it under, or to a new one, unless something on the server names it.
void moveClashingServerEntries(const EventDatabase& local, EventDatabase& server)
{
    const QHash<qint64, QString> mine = entryKeys(local);
    const QHash<qint64, QString> theirs = entryKeys(server);
    qint64 next = highest(mine, theirs) + 1;
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        const auto own = mine.constFind(it.key());
        if (own == mine.cend() || *own == *it)
            continue;
        const QVariant id = it.key();
        if (server
                .value(QStringLiteral("SELECT (SELECT COUNT(*) FROM draw WHERE left_entry = ? OR "
                                      "right_entry = ?) + (SELECT COUNT(*) FROM pass WHERE "
                                      "entry_id = ?) + (SELECT COUNT(*) FROM ladder_seed WHERE "
                                      "entry_id = ?) + (SELECT COUNT(*) FROM correction WHERE "
                                      "entry_id = ?)"),
                       {id, id, id, id, id})
                .toInt() > 0)
            continue;
        qint64 target = mine.key(*it, 0);
        if (target == 0 || theirs.contains(target))
            target = next++;
        server.run(QStringLiteral("UPDATE entry SET id = ? WHERE id = ?"), {target, id});
    }
}

const QStringList kShared = {QStringLiteral("event_class"), QStringLiteral("draw"),
                             QStringLiteral("ladder_seed")};

} // namespace

std::vector<ServerEvent> listServerEvents(const QString& connection)
{
    QSqlQuery q(QSqlDatabase::database(connection, false));
    std::vector<ServerEvent> events;
    if (!q.exec(QStringLiteral("SELECT id, name, event_date, schema_name FROM halvex.event_list "
                               "ORDER BY id DESC")))
        throw Failure(QStringLiteral("The event server's list of events cannot be read: %1")
                          .arg(q.lastError().text()));
    while (q.next())
        events.push_back({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                          q.value(3).toString()});
    return events;
}

ServerEvent createServerEvent(const QString& connection, const QString& name, const QString& date)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO halvex.event_list (name, event_date, schema_name) "
                             "VALUES (?, ?, 'e' || currval('halvex.event_list_id_seq')) "
                             "RETURNING id, schema_name"));
    q.addBindValue(name);
    q.addBindValue(date);
    // nextval runs for the id before the schema's name reads it.
    if (!db.transaction() || !q.exec() || !q.next())
        throw Failure(QStringLiteral("The event cannot be put on the event server: %1")
                          .arg(q.lastError().text()));
    ServerEvent e{q.value(0).toInt(), name, date, q.value(1).toString()};
    q.finish();
    QSqlQuery make(db);
    if (!make.exec(QStringLiteral("CREATE SCHEMA %1").arg(e.schema)) || !db.commit()) {
        const QString why = make.lastError().text();
        db.rollback();
        throw Failure(QStringLiteral("The event cannot be put on the event server: %1").arg(why));
    }
    return e;
}

void grantStations(EventDatabase& server, const QString& schema)
{
    server.run(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO halvex_registration, halvex_display")
                   .arg(schema));
    server.run(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO halvex_registration, "
                              "halvex_display")
                   .arg(schema));
    server.run(
        QStringLiteral("GRANT INSERT, UPDATE ON %1.entry TO halvex_registration").arg(schema));
}

qint64 lastSeq(const EventDatabase& db, const QString& station)
{
    return db
        .value(QStringLiteral("SELECT COALESCE(MAX(seq), 0) FROM (SELECT seq FROM pass WHERE "
                              "station = ? UNION ALL SELECT seq FROM correction WHERE "
                              "station = ?) s"),
               {station, station})
        .toLongLong();
}

int passesAfter(const EventDatabase& local, const QString& station, qint64 sentSeq)
{
    return local
        .value(QStringLiteral("SELECT COUNT(*) FROM pass WHERE station = ? AND seq > ? AND "
                              "state = 'Shown'"),
               {station, sentSeq})
        .toInt();
}

int pushOwn(EventDatabase& local, EventDatabase& server, const QString& station)
{
    int sent = 0;
    server.write([&] {
        copyEventRow(local, server);
        moveClashingServerEntries(local, server);
        for (const QString& table : kShared)
            sent += copyTable(local, server, table);
        sent += copyTable(local, server, QStringLiteral("entry"), kEntryUpdate);
        const qint64 after = lastSeq(server, station);
        for (const QString& table : {QStringLiteral("pass"), QStringLiteral("correction")}) {
            const QStringList columns = columnsOf(server, table);
            sent += copyRows(local, server, table, columns,
                             QStringLiteral("SELECT %1 FROM %2 WHERE station = ? AND seq > ? "
                                            "ORDER BY seq")
                                 .arg(columns.join(u", "), table),
                             {station, after}, QStringLiteral("ON CONFLICT DO NOTHING"));
        }
    });
    return sent;
}

int renumberClashingEntries(const EventDatabase& server, EventDatabase& local)
{
    const QHash<qint64, QString> mine = entryKeys(local);
    const QHash<qint64, QString> theirs = entryKeys(server);
    std::vector<qint64> clashing;
    for (auto it = mine.cbegin(); it != mine.cend(); ++it)
        if (const auto other = theirs.constFind(it.key()); other != theirs.cend() && *other != *it)
            clashing.push_back(it.key());
    if (clashing.empty())
        return 0;
    local.write([&] {
        // Out of the way first, so that two entries may swap their numbers.
        for (qint64 id : clashing)
            local.run(QStringLiteral("UPDATE entry SET id = ? WHERE id = ?"), {-id, id});
        qint64 next = highest(mine, theirs) + 1;
        for (qint64 id : clashing) {
            qint64 target = theirs.key(mine.value(id), 0);
            if (target == 0 || local.value(QStringLiteral("SELECT COUNT(*) FROM entry WHERE "
                                                          "id = ?"),
                                           {target})
                                       .toInt() > 0)
                target = next++;
            local.run(QStringLiteral("UPDATE entry SET id = ? WHERE id = ?"), {target, -id});
        }
    });
    return int(clashing.size());
}

int pushEntries(EventDatabase& local, EventDatabase& server)
{
    int sent = 0;
    server.write([&] { sent = copyTable(local, server, QStringLiteral("entry"), kEntryUpdate); });
    return sent;
}

Pulled pullOthers(EventDatabase& server, EventDatabase& local, const QString& schema,
                  const std::vector<qint64>& setUp)
{
    // Every station's rows come, its own too: a new copy of it (another PC, a lost file) gets
    // them back, and its numbering goes on above them.
    const QString nothing = QStringLiteral("ON CONFLICT DO NOTHING");
    // Everything is read from the server first: the file's write lock, which the race window
    // waits for, is held only while the rows are written.
    std::vector<Batch> batches;
    if (local.value(QStringLiteral("SELECT COUNT(*) FROM event")).toInt() == 0)
        batches.push_back(readTable(server, local, QStringLiteral("event"), {}));
    for (const QString& table : kShared)
        batches.push_back(readTable(server, local, table, nothing));
    Pulled pulled;
    batches.push_back(readTable(server, local, QStringLiteral("entry"), kEntryUpdate));
    pulled.late = takeEntryChanges(local, batches.back(), setUp, pulled.held);
    QSqlQuery stations =
        server.run(QStringLiteral("SELECT station FROM pass UNION SELECT station FROM correction"));
    QStringList all;
    while (stations.next())
        all << stations.value(0).toString();
    for (const QString& other : all) {
        const qint64 after = lastSeq(local, other);
        for (const QString& table : {QStringLiteral("pass"), QStringLiteral("correction")}) {
            const QStringList columns = columnsOf(local, table);
            QStringList select = columns;
            const qsizetype state = columns.indexOf(QStringLiteral("state"));
            QVariantList values;
            if (state >= 0) {
                // Raced without control: by a tower never granted it (the file's own station
                // "tower" is the event's before it was shared), or under an epoch that had
                // passed when the pass reached the server.
                select[state] = QStringLiteral(
                    "CASE WHEN state = 'Shown' AND ((epoch = 0 AND station <> 'tower') OR "
                    "EXISTS (SELECT 1 FROM halvex.handover h WHERE h.event_schema = ? AND "
                    "h.taken_from = pass.station AND h.epoch > pass.epoch AND pass.seq > "
                    "h.last_seq)) THEN 'Stale' ELSE state END");
                values << schema;
            }
            values << other << after;
            batches.push_back(readRows(server, table, columns,
                                       QStringLiteral("SELECT %1 FROM %2 WHERE station = ? AND "
                                                      "seq > ? ORDER BY seq")
                                           .arg(select.join(u", "), table),
                                       values, nothing));
        }
    }
    pulled.conflicts = entryConflicts(server, local);
    local.write([&] {
        for (const Batch& batch : batches)
            pulled.rows += writeRows(local, batch);
        pulled.stale = local
                           .value(QStringLiteral("SELECT COUNT(*) FROM pass WHERE state = "
                                                 "'Stale'"))
                           .toInt();
    });
    return pulled;
}

} // namespace halvex
