#include "station/ServerAddress.h"

#include "platform/Failure.h"

#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>

namespace halvex {

QString roleName(StationRole role)
{
    switch (role) {
    case StationRole::Tower:
        return QStringLiteral("tower");
    case StationRole::Registration:
        return QStringLiteral("registration");
    case StationRole::Display:
        break;
    }
    return QStringLiteral("display");
}

StationRole roleFromName(const QString& name)
{
    if (name.compare(u"tower", Qt::CaseInsensitive) == 0)
        return StationRole::Tower;
    if (name.compare(u"registration", Qt::CaseInsensitive) == 0)
        return StationRole::Registration;
    return StationRole::Display;
}

bool isSchemaName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^e[1-9][0-9]{0,8}$"));
    return pattern.match(name).hasMatch();
}

QString ServerAddress::label() const
{
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

ServerAddress ServerAddress::load(const QString& path)
{
    ServerAddress a;
    a.station = QSysInfo::machineHostName();
    QSettings file(path, QSettings::IniFormat);
    a.host = file.value(QStringLiteral("Server/Host")).toString().trimmed();
    bool ok = false;
    const int port = file.value(QStringLiteral("Server/Port")).toInt(&ok);
    if (ok && port > 0 && port < 65536)
        a.port = port;
    a.database = file.value(QStringLiteral("Server/Database"), a.database).toString().trimmed();
    a.user = file.value(QStringLiteral("Server/User")).toString().trimmed();
    const QString station = file.value(QStringLiteral("Station/Name")).toString().trimmed();
    if (!station.isEmpty())
        a.station = station.left(100);
    QSettings& events = file;
    events.beginGroup(QStringLiteral("Events"));
    for (const QString& key : events.childKeys()) {
        const QString schema = events.value(key).toString();
        if (isSchemaName(schema))
            a.shared.insert(key, schema);
    }
    events.endGroup();
    events.beginGroup(QStringLiteral("Epochs"));
    for (const QString& key : events.childKeys()) {
        const int epoch = events.value(key).toInt();
        if (epoch > 0)
            a.epochs.insert(key, epoch);
    }
    events.endGroup();
    a.role = roleFromName(
        file.value(QStringLiteral("Station/Role"), QStringLiteral("tower")).toString());
    return a;
}

void ServerAddress::save(const QString& path) const
{
    // QSettings replaces the file through a save file, so a failed write leaves the old one.
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    file.setValue(QStringLiteral("Server/Host"), host);
    file.setValue(QStringLiteral("Server/Port"), port);
    file.setValue(QStringLiteral("Server/Database"), database);
    file.setValue(QStringLiteral("Server/User"), user);
    file.setValue(QStringLiteral("Station/Name"), station);
    file.setValue(QStringLiteral("Station/Role"), roleName(role));
    file.beginGroup(QStringLiteral("Events"));
    for (auto it = shared.cbegin(); it != shared.cend(); ++it)
        file.setValue(it.key(), it.value());
    file.endGroup();
    file.beginGroup(QStringLiteral("Epochs"));
    for (auto it = epochs.cbegin(); it != epochs.cend(); ++it)
        file.setValue(it.key(), it.value());
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError)
        throw Failure(
            QStringLiteral("The event server's settings cannot be saved in \"%1\".").arg(path));
}

void openServerConnection(const ServerAddress& address, const QString& connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(connectionName);
        throw Failure(QStringLiteral("The database driver for the event server is not installed "
                                     "(Qt's PostgreSQL driver, package libqt6sql6-psql)."));
    }
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setDatabaseName(address.database);
    db.setUserName(address.user);
    // Without these a dropped link hangs a query until the system gives up, minutes later.
    db.setConnectOptions(QStringLiteral("connect_timeout=2;keepalives=1;keepalives_idle=1;"
                                        "keepalives_interval=1;keepalives_count=2;"
                                        "tcp_user_timeout=2000;application_name=halvex"));
    if (!db.open()) {
        const QString why = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw Failure(QStringLiteral("The event server %1 cannot be reached: %2")
                          .arg(address.label(), why.trimmed()));
    }
    if (address.role == StationRole::Tower) {
        // What a tower makes belongs to the towers' role, so that any tower may carry it on.
        QSqlQuery setRole(db);
        if (!setRole.exec(QStringLiteral("SET ROLE halvex_tower"))) {
            const QString why = setRole.lastError().text();
            setRole = QSqlQuery();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw Failure(QStringLiteral("The user %1 is no tower's on the event server: %2")
                              .arg(address.user, why.trimmed()));
        }
    }
}

} // namespace halvex
