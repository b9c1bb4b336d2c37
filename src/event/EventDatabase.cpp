#include "event/EventDatabase.h"

#include "platform/Failure.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace halvex {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");

QString errorText(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace

EventDatabase::EventDatabase(const QString& path, const std::vector<Migration>& schema)
    : m_path(QFileInfo(path).absoluteFilePath()),
      m_connection(newConnectionName(QStringLiteral("halvex-event")))
{
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir))
        throw Failure(QStringLiteral("The folder \"%1\" cannot be created.").arg(dir));
    const bool existed = QFileInfo::exists(m_path);
    if (!existed && !QFileInfo(dir).isWritable())
        throw Failure(
            QStringLiteral("The event file \"%1\" cannot be made: its folder is read-only.")
                .arg(m_path));
    if (existed && !(QFileInfo(m_path).isWritable() && QFileInfo(dir).isWritable())) {
        // The engine cannot even read a database of this journal mode where it cannot write
        // beside it; opened as unchanging, it reads what is there.
        m_damage = QStringLiteral("The event file \"%1\" cannot be written: the file or its "
                                  "folder is read-only.")
                       .arg(m_path);
        open(true);
        return;
    }
    open(false);
    if (existed) {
        const QString fault = checkIntegrity();
        if (!fault.isEmpty()) {
            m_damage = QStringLiteral("The event file \"%1\" is damaged (%2). It is opened "
                                      "read-only and nothing is written to it. Keep a copy of "
                                      "it, then start a new event or load another one.")
                           .arg(m_path, fault);
            QSqlDatabase::database(m_connection, false).close();
            open(true);
            return;
        }
    }
    // WAL keeps readers (the displays, an export) off the writer's way; FULL syncs every commit,
    // so a pass is on the disk when its write returns.
    run(QStringLiteral("PRAGMA journal_mode=WAL"));
    run(QStringLiteral("PRAGMA synchronous=FULL"));
    migrate(schema);
}

EventDatabase::EventDatabase(const QString& connection, const QString& schemaName,
                             const QString& label, const std::vector<Migration>& schema)
    : m_path(label), m_connection(connection), m_onServer(true)
{
    // The schema's name is the program's own ("e" and a number), never the operator's text. A
    // setting is no statement the server prepares.
    QSqlQuery setPath(QSqlDatabase::database(m_connection, false));
    if (!setPath.exec(QStringLiteral("SET search_path TO %1").arg(schemaName)))
        throw Failure(QStringLiteral("The %1 cannot be used: %2")
                          .arg(described(), errorText(setPath.lastError())));
    migrate(schema);
}

EventDatabase::~EventDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void EventDatabase::open(bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(kDriver, m_connection);
    if (!db.isValid())
        throw Failure(QStringLiteral("The database driver for event files is not installed "
                                     "(Qt's SQLite driver, package libqt6sql6-sqlite)."));
    if (readOnly) {
        db.setDatabaseName(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?immutable=1"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    } else {
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    }
    if (!db.open())
        throw Failure(QStringLiteral("The event file \"%1\" cannot be opened: %2")
                          .arg(m_path, errorText(db.lastError())));
}

QString EventDatabase::checkIntegrity() const
{
    try {
        const QString verdict = value(QStringLiteral("PRAGMA integrity_check")).toString();
        return verdict == u"ok" ? QString() : verdict.left(200);
    } catch (const Failure& f) {
        return f.description();
    }
}

void EventDatabase::migrate(const std::vector<Migration>& schema)
{
    // A database without the version table is new: any other failure shows again below.
    try {
        m_version = value(QStringLiteral("SELECT MAX(version) FROM schema_version")).toInt();
    } catch (const Failure&) {
        m_version = 0;
    }
    for (const Migration& step : schema) {
        if (step.version <= m_version)
            continue;
        write([&] {
            if (!m_onServer) {
                // Another connection to the file (a station's link) may have migrated it since
                // it was read; the write lock is held now, so this reading stands.
                const bool made =
                    value(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = "
                                         "'table' AND name = 'schema_version'"))
                        .toInt() > 0;
                m_version =
                    made ? value(QStringLiteral("SELECT MAX(version) FROM schema_version")).toInt()
                         : 0;
                if (step.version <= m_version)
                    return;
            }
            if (m_version == 0)
                run(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"));
            for (const QString& statement : step.statements)
                run(statement);
            run(QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"), {step.version});
            m_version = step.version;
        });
    }
}

void EventDatabase::write(const std::function<void()>& work)
{
    if (isReadOnly())
        throw Failure(m_damage);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // A file's writer takes the write lock at once: a transaction that read first could not
    // take it after another connection (a station's link, a display) wrote in between, and would
    // fail rather than wait its turn.
    QSqlQuery begin(db);
    if (!(m_onServer ? db.transaction() : begin.exec(QStringLiteral("BEGIN IMMEDIATE")))) {
        // The engine's "busy": another program has held the file's write lock longer than the
        // wait allows.
        if (!m_onServer && begin.lastError().nativeErrorCode() == u"5")
            throw Failure(QStringLiteral("The event file \"%1\" is in use by another program "
                                         "that holds it locked, so nothing was written to it: "
                                         "close that program.")
                              .arg(m_path));
        throw Failure(
            QStringLiteral("The %1 cannot be written: %2")
                .arg(described(), errorText(m_onServer ? db.lastError() : begin.lastError())));
    }
    begin.finish();
    try {
        work();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString why = errorText(db.lastError());
        db.rollback();
        throw Failure(QStringLiteral("The %1 cannot be written: %2").arg(described(), why));
    }
}

QString EventDatabase::newConnectionName(const QString& prefix)
{
    static QAtomicInt next;
    return QStringLiteral("%1-%2").arg(prefix).arg(next.fetchAndAddRelaxed(1));
}

QSqlQuery EventDatabase::run(const QString& sql, const QVariantList& values) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // A server prepares no schema statement: one without values goes as it is.
    if (values.isEmpty()) {
        if (!query.exec(sql))
            throw Failure(QStringLiteral("The %1 cannot be used: %2")
                              .arg(described(), errorText(query.lastError())));
        return query;
    }
    const bool prepared = query.prepare(sql);
    // A text is never NULL in the event's tables: Qt would bind a null QString as NULL.
    for (const QVariant& v : values)
        query.addBindValue(v.typeId() == QMetaType::QString && v.toString().isNull()
                               ? QVariant(QStringLiteral(""))
                               : v);
    if (!prepared || !query.exec())
        throw Failure(QStringLiteral("The %1 cannot be used: %2")
                          .arg(described(), errorText(query.lastError())));
    return query;
}

QString EventDatabase::described() const
{
    return (m_onServer ? QStringLiteral("event server \"%1\"")
                       : QStringLiteral("event file \"%1\""))
        .arg(m_path);
}

QVariant EventDatabase::value(const QString& sql, const QVariantList& values) const
{
    QSqlQuery query = run(sql, values);
    return query.next() ? query.value(0) : QVariant();
}

} // namespace halvex
