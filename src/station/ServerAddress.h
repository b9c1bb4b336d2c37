#pragma once

#include <QMap>
#include <QString>

namespace halvex {

// What a station does on a shared event.
enum class StationRole
{
    Tower,        // runs the timing unit: the only station that records passes
    Registration, // takes entries and dial-ins
    Display       // shows the event; writes nothing but its own heartbeat
};

QString roleName(StationRole role);
// An event's schema on the server: "e" and its number, nothing else (it is put into statements).
bool isSchemaName(const QString& name);
// "tower", "registration" or "display"; anything else is a display, which can change nothing.
StationRole roleFromName(const QString& name);

// Where the event server is and who this station is there. Kept in a file of its own beside the
// settings file ("EventServer.ini"); the password is never kept by the program: the server's
// client library reads it from the user's ~/.pgpass.
struct ServerAddress
{
    static inline const QString kFileName = QStringLiteral("EventServer.ini");

    QString host; // empty: no server, the event stays in its own file
    int port = 5432;
    QString database = QStringLiteral("halvex");
    QString user;
    QString station;
    StationRole role = StationRole::Tower;
    // The station's event files that are copies of an event on the server: file name, schema.
    QMap<QString, QString> shared;
    // The control epoch a tower was last granted on each of them, so that it races under it
    // from its first pass, also when it starts without the server.
    QMap<QString, int> epochs;

    bool isSet() const { return !host.isEmpty(); }
    // "user@host:port/database", as the operator's messages name the server.
    QString label() const;

    // Reads the file; missing keys keep their defaults, and the station's name defaults to the
    // machine's. Never fails: a missing or unreadable file is no server.
    static ServerAddress load(const QString& path);
    // Replaces the file in one step; throws halvex::Failure.
    void save(const QString& path) const;

    bool operator==(const ServerAddress&) const = default;
};

// Opens a connection to the server under `connectionName` on the calling thread, with the
// time limits that let a dropped link be noticed within two seconds; a tower's acts in the
// towers' role. Throws halvex::Failure with the reason (no driver, no server, refused).
void openServerConnection(const ServerAddress& address, const QString& connectionName);

} // namespace halvex
