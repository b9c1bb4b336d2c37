#pragma once

#include "station/ServerAddress.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

class QTimer;

namespace halvex {

class Event;
class EventDatabase;

// Another station of the event and when the server last heard from it.
struct SeenStation
{
    QString name;
    QString role;
    QDateTime lastSeen;
};

// How the station stands with the event server, as its status bar tells it.
struct StationStatus
{
    bool online = false;
    int waiting = 0;        // own passes not on the server yet
    qint64 sentSeq = 0;     // the last of the station's sequence that the server has
    QDateTime lastContact;  // when the server last answered; null: not in this run
    QString holder;         // the station holding control, when known
    int epoch = 0;          // the epoch of that control
    bool inControl = false; // this station holds control
    int stale = 0;          // passes of a passed control epoch, kept but counted for no round
    int conflicts = 0;      // entries whose number the server gives another racer
    int held = 0;           // dial-ins changed elsewhere, held while the entry's pair is to run
    QStringList late;       // dial-in changes that came after a pass raced on the old one
    bool nameTaken = false; // another station beats under this station's name
    QString problem;        // why the server cannot be used, as the operator is told
    std::vector<SeenStation> stations;

    // The status bar's text, e.g. "Event server offline: 3 passes waiting".
    QString text(StationRole role) const;
};

// Keeps a station's own event file and the event's copy on the server in step, on a thread of
// its own, so that no database round trip holds up a window. A tower sends its passes (after
// each one and whenever the link comes back) and holds control of the event; every station takes
// in what the others sent, when the server tells it something changed. The link is checked
// every tick: a dropped one is noticed within two ticks and tried again with growing pauses.
class StationLink : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        int tickMs = 1000;
        int maxPauseMs = 8000; // the longest pause between tries to reconnect
    };

    StationLink(ServerAddress address, QString localPath, QString schema, Timing timing);
    StationLink(ServerAddress address, QString localPath, QString schema)
        : StationLink(std::move(address), std::move(localPath), std::move(schema), Timing())
    {}
    ~StationLink() override;
    Q_DISABLE_COPY_MOVE(StationLink)

    // Everything below runs on the link's thread (queued calls).
    void start();
    // Sends and takes in now, rather than at the next notice or tick.
    void syncNow();
    // This station takes control of the event from the one holding it (the operator confirmed).
    void takeControl();
    void stop();

Q_SIGNALS:
    void statusChanged(const halvex::StationStatus& status);
    // The station's file took rows from other stations: its windows read it again.
    void eventChanged();
    // Control is held by another station: this tower records passes that count for nothing.
    void controlRefused(const QString& holder);
    // This station holds control under `epoch`; its passes carry it from now on.
    void controlGranted(int epoch);

private:
    void tick();
    bool connectServer();
    // The heartbeat; false while another station beats under this one's name, which then
    // sends nothing and holds no control.
    bool beat();
    // The server has the station's passes up to `seq`; a tower's file keeps it for its next
    // start.
    void noteSent(qint64 seq);
    void dropServer(const QString& why);
    void claim(bool take);
    void sync();
    void readStations();
    void notified(const QString& channel);
    void publish();

    ServerAddress m_address;
    QString m_localPath;
    QString m_schema;
    Timing m_timing;
    QString m_connection;
    std::unique_ptr<Event> m_event;
    std::unique_ptr<EventDatabase> m_server;
    QTimer* m_timer = nullptr;
    StationStatus m_status;
    qint64 m_sentSeq = 0;
    bool m_sentKept = true; // m_sentSeq is in the file too
    int m_pauseMs = 0;
    QDateTime m_nextTry;
    int m_ticks = 0;
    bool m_dirty = true;
};

// The link on a thread of its own, owned by the window side: its calls are posted to the thread.
class StationThread
{
public:
    explicit StationThread(StationLink* link);
    ~StationThread();
    StationThread(const StationThread&) = delete;
    StationThread& operator=(const StationThread&) = delete;

    StationLink* link() const { return m_link; }
    void syncNow();
    void takeControl();

private:
    QThread m_thread;
    StationLink* m_link;
};

} // namespace halvex

Q_DECLARE_METATYPE(halvex::StationStatus)
