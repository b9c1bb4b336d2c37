#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace halvex {

class EventDatabase;

// An event as the server lists it: each lives in a schema of its own.
struct ServerEvent
{
    int id = 0;
    QString name;
    QString date;
    QString schema; // "e" and the id
};

// The events on the server behind `connection`, the newest first; throws halvex::Failure.
std::vector<ServerEvent> listServerEvents(const QString& connection);
// A new event's place on the server, made by a tower (whose user is in halvex_tower). The event
// itself goes there with the first pushOwn.
ServerEvent createServerEvent(const QString& connection, const QString& name, const QString& date);
// The schema's tables readable by every station and the entries writable by registration;
// a tower runs it after each opening, so tables a newer program adds are covered too.
void grantStations(EventDatabase& server, const QString& schema);

// Sends what `station` keeps in its own event file and the server lacks: the event, its
// classes, entries (an entry of the server under a number the station gave another, and that
// nothing on the server names yet, moves to another number first), draws and ladder seedings, and
// the station's passes and corrections after the last one the server has. Rows the server has stay
// as they are there. One transaction; returns the number of rows sent (draws, seedings and entries
// among them). Throws halvex::Failure.
int pushOwn(EventDatabase& local, EventDatabase& server, const QString& station);

// At a station whose file names no entry by number of its own (a registration desk, a display):
// an entry whose number the server gives another entry takes the number the server has it
// under, or a new one above every number, to be sent. Returns how many changed their number.
// Throws halvex::Failure.
int renumberClashingEntries(const EventDatabase& server, EventDatabase& local);

// Sends the entries of a registration station's file: new ones, and the car, number and dial-in
// of those the server has for the same racer in the same class. Returns the rows sent. Throws
// halvex::Failure.
int pushEntries(EventDatabase& local, EventDatabase& server);

struct Pulled
{
    int rows = 0;      // rows new to the station's file
    int stale = 0;     // passes among them raced under a control epoch that had passed
    int conflicts = 0; // entries of the server whose number the station gave another racer
    int held = 0;      // dial-in changes held back while their entries' pairs are to run
    QStringList late;  // dial-in changes that came after a pass raced on the old dial-in
};
// Takes into the station's own event file what the stations sent: passes and corrections after
// the last of each station that the file has (its own among them, for a new copy), and the
// event's other rows it lacks (entries changed on the server change in the file, unless the
// number stands for another racer there; the later change of an entry wins, and the dial-in of
// an entry in `setUp`, a pair still to run, is held back). A pass raced without control (by a tower
// never granted it, or under an epoch that had passed when it reached the server) is kept as
// "Stale": no round counts it. Read from the server first, then written in one short transaction.
// Throws halvex::Failure.
Pulled pullOthers(EventDatabase& server, EventDatabase& local, const QString& schema,
                  const std::vector<qint64>& setUp = {});

// The passes of `station` in its file after `sentSeq`, as the operator counts them (one a lane).
int passesAfter(const EventDatabase& local, const QString& station, qint64 sentSeq);
// The last number of the station's sequence (passes and corrections) in a database.
qint64 lastSeq(const EventDatabase& db, const QString& station);

} // namespace halvex
