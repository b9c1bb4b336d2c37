#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QSqlQuery;

namespace halvex {

// One event's database through Qt SQL: an SQLite file by default (WAL journal, every commit
// synced), the same portable SQL for a server later. The schema is versioned inside the database
// and migrated on open, each step in a transaction of its own. A file that fails its integrity
// check, or is not a database at all, is opened read-only and never written: every write then
// throws the failure that says which file it is and what to do. So is a file that cannot be
// written where it lies (a read-only folder or medium), which can still be read.
class EventDatabase
{
public:
    // The statements that take the schema from the version before to `version`.
    struct Migration
    {
        int version;
        std::vector<QString> statements;
    };

    // A name for a new connection of this thread's own, unique in the process: connections are
    // never shared between threads.
    static QString newConnectionName(const QString& prefix);

    // Opens (creating when missing) and migrates; throws halvex::Failure when the file cannot be
    // opened at all or a migration fails.
    explicit EventDatabase(const QString& path,
                           const std::vector<Migration>& schema = eventSchema());
    // An event on a database server: `connection` is a driver's connection already open (the
    // server's, on the thread that uses it); `schema` is the event's own schema there (made by
    // the caller, who has the right to), migrated like a file. `label` names the server in the
    // operator's messages. The connection is closed and removed with the object.
    EventDatabase(const QString& connection, const QString& schemaName, const QString& label,
                  const std::vector<Migration>& schema = eventSchema());
    ~EventDatabase();
    EventDatabase(const EventDatabase&) = delete;
    EventDatabase& operator=(const EventDatabase&) = delete;

    // The migrations of the event schema, oldest first.
    static const std::vector<Migration>& eventSchema();

    const QString& path() const { return m_path; }
    // The name of the Qt SQL connection, for a driver's notifications.
    const QString& connectionName() const { return m_connection; }
    int schemaVersion() const { return m_version; }
    bool isReadOnly() const { return !m_damage.isEmpty(); }
    // Why the file is read-only, as the operator is told it; empty for a writable file.
    const QString& damage() const { return m_damage; }

    // Runs `work` in one transaction, committed only when it returns; throws halvex::Failure,
    // with everything the work did taken back, when any statement fails or the file is
    // read-only.
    void write(const std::function<void()>& work);
    // One statement with its values bound in order; throws halvex::Failure. Rows are read from
    // the query returned.
    QSqlQuery run(const QString& sql, const QVariantList& values = {}) const;
    // The first column of the first row, or a null value when there is none.
    QVariant value(const QString& sql, const QVariantList& values = {}) const;

private:
    void open(bool readOnly);
    QString checkIntegrity() const;
    void migrate(const std::vector<Migration>& schema);
    // "event file \"...\"" or "event server \"...\"", as the operator's messages name it.
    QString described() const;

    QString m_path;
    QString m_connection;
    QString m_damage;
    int m_version = 0;
    bool m_onServer = false;
};

} // namespace halvex
