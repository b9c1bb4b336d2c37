#include "station/StationLink.h"

#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventRounds.h"
#include "platform/Failure.h"
#include "station/EventSync.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace halvex {

namespace {

const QString kLocalStation = QStringLiteral("tower");

} // namespace

QString StationStatus::text(StationRole role) const
{
    QString t;
    if (online && nameTaken)
        return QStringLiteral("Event server online: another station uses this station's name");
    if (!online) {
        if (role == StationRole::Tower)
            t = QStringLiteral("Event server offline: %1 passes waiting").arg(waiting);
        else if (lastContact.isValid())
            t = QStringLiteral("Event server offline: stale since %1")
                    .arg(lastContact.toString(QStringLiteral("HH:mm:ss")));
        else
            t = QStringLiteral("Event server offline");
    } else if (role == StationRole::Tower) {
        t = inControl ? QStringLiteral("Event server online: this station has control")
                      : QStringLiteral("Event server online: control is held by %1").arg(holder);
    } else {
        t = QStringLiteral("Event server online");
    }
    if (stale > 0)
        t += QStringLiteral(" - %1 passes raced without control kept, not counted").arg(stale);
    if (online && !problem.isEmpty())
        t += QStringLiteral(" - the server refused a change");
    if (conflicts > 0)
        t += QStringLiteral(" - %1 entries differ from the server's").arg(conflicts);
    if (held > 0)
        t += QStringLiteral(" - %1 dial-in changes held until their pairs have raced").arg(held);
    if (!late.isEmpty())
        t += QStringLiteral(" - %1 dial-in changes came after a pass on the old one")
                 .arg(late.size());
    return t;
}

StationLink::StationLink(ServerAddress address, QString localPath, QString schema, Timing timing)
    : m_address(std::move(address)), m_localPath(std::move(localPath)), m_schema(std::move(schema)),
      m_timing(timing),
      m_connection(EventDatabase::newConnectionName(QStringLiteral("halvex-server")))
{
    qRegisterMetaType<halvex::StationStatus>();
}

StationLink::~StationLink()
{
    stop();
}

void StationLink::start()
{
    try {
        if (!isSchemaName(m_schema))
            throw Failure(QStringLiteral("\"%1\" is no event of the event server.").arg(m_schema));
        m_event = std::make_unique<Event>(m_localPath);
        // What the file holds of this station went out in an earlier run unless the server
        // says otherwise when it answers.
        const QVariant sent = m_event->database().value(
            QStringLiteral("SELECT seq FROM sent_to_server WHERE station = ?"),
            {m_address.station});
        m_sentSeq =
            sent.isValid() ? sent.toLongLong() : lastSeq(m_event->database(), m_address.station);
    } catch (const Failure& f) {
        m_status.problem = f.description();
        Q_EMIT statusChanged(m_status);
        return;
    }
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &StationLink::tick);
    m_timer->start(m_timing.tickMs);
    tick();
}

void StationLink::stop()
{
    if (m_timer)
        m_timer->stop();
    m_server.reset();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
    m_event.reset();
}

void StationLink::tick()
{
    if (!m_event)
        return;
    ++m_ticks;
    if (!m_server && QDateTime::currentDateTimeUtc() >= m_nextTry)
        connectServer();
    if (m_server) {
        try {
            // The heartbeat is the link's check too: the driver reports no dropped link by
            // itself.
            if (beat() && m_address.role == StationRole::Tower && m_ticks % 2 == 0)
                claim(false);
            readStations();
        } catch (const Failure& f) {
            dropServer(f.description());
        }
    }
    // A registration station's entries are few: they go out with every tick's look.
    bool ownRows = false;
    try {
        ownRows = m_address.role == StationRole::Tower &&
                  lastSeq(m_event->database(), m_address.station) > m_sentSeq;
    } catch (const Failure& f) {
        // The station's own file cannot be read: said in the status line, tried again next tick.
        m_status.problem = f.description();
    }
    if (m_server && !m_status.nameTaken &&
        (m_dirty || m_address.role == StationRole::Registration || ownRows))
        sync();
    publish();
}

bool StationLink::connectServer()
{
    try {
        openServerConnection(m_address, m_connection);
        m_server = std::make_unique<EventDatabase>(m_connection, m_schema, m_address.label());
        if (m_address.role == StationRole::Tower)
            grantStations(*m_server, m_schema);
        QSqlDriver* driver = QSqlDatabase::database(m_connection, false).driver();
        driver->subscribeToNotification(QStringLiteral("halvex_") + m_schema);
        // Taken in the next turn of the loop: a failed sync drops the connection, and with it
        // the driver that is still sending the notice.
        connect(driver, &QSqlDriver::notification, this, [this](const QString& channel) {
            QMetaObject::invokeMethod(
                this, [this, channel] { notified(channel); }, Qt::QueuedConnection);
        });
        m_pauseMs = 0;
        m_status.online = true;
        m_status.problem.clear();
        m_status.lastContact = QDateTime::currentDateTime();
        noteSent(lastSeq(*m_server, m_address.station));
        m_dirty = true;
        if (beat() && m_address.role == StationRole::Tower)
            claim(false);
        return true;
    } catch (const Failure& f) {
        dropServer(f.description());
        return false;
    }
}

void StationLink::noteSent(qint64 seq)
{
    if (seq == m_sentSeq && m_sentKept)
        return;
    m_sentSeq = seq;
    if (m_address.role != StationRole::Tower)
        return;
    EventDatabase& local = m_event->database();
    try {
        local.write([&] {
            local.run(QStringLiteral("INSERT INTO sent_to_server (station, seq) VALUES (?, ?) ON "
                                     "CONFLICT (station) DO UPDATE SET seq = excluded.seq"),
                      {m_address.station, seq});
        });
        m_sentKept = true;
    } catch (const Failure&) {
        // Only the count of a later start without the server depends on it: the file that
        // cannot take it now (in use, full) takes it with the next send.
        m_sentKept = false;
    }
}

bool StationLink::beat()
{
    // One name a program run: links of one run may follow each other under it at once.
    static const QString run = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const bool mine = m_server
                          ->value(QStringLiteral("SELECT halvex.heartbeat(?, ?, ?, ?)"),
                                  {m_schema, m_address.station, roleName(m_address.role), run})
                          .toBool();
    m_status.lastContact = QDateTime::currentDateTime();
    if (mine != m_status.nameTaken) // as it was
        return mine;
    m_status.nameTaken = !mine;
    if (mine) {
        m_status.problem.clear();
        m_dirty = true;
    } else {
        m_status.inControl = false;
        m_status.problem =
            QStringLiteral("Another station uses the name \"%1\" on this event: give each station "
                           "a name of its own in Settings, Event Server.")
                .arg(m_address.station);
    }
    return mine;
}

void StationLink::dropServer(const QString& why)
{
    m_server.reset();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
    m_status.online = false;
    m_status.problem = why;
    m_status.stations.clear();
    m_pauseMs = std::min(std::max(250, m_pauseMs * 2), m_timing.maxPauseMs);
    m_nextTry = QDateTime::currentDateTimeUtc().addMSecs(m_pauseMs);
    m_dirty = true;
}

void StationLink::claim(bool take)
{
    QSqlQuery q =
        m_server->run(QStringLiteral("SELECT holder, epoch FROM halvex.claim_control(?, ?, ?)"),
                      {m_schema, m_address.station, take});
    if (!q.next())
        return;
    const QString holder = q.value(0).toString();
    const int epoch = q.value(1).toInt();
    const bool wasInControl = m_status.inControl;
    const bool firstAnswer = m_status.holder.isEmpty();
    const int oldEpoch = m_status.epoch;
    m_status.holder = holder;
    m_status.epoch = epoch;
    m_status.inControl = holder == m_address.station;
    if (m_status.inControl && (!wasInControl || epoch != oldEpoch))
        Q_EMIT controlGranted(epoch);
    else if (!m_status.inControl && (wasInControl || firstAnswer))
        Q_EMIT controlRefused(holder);
}

void StationLink::sync()
{
    try {
        if (m_address.role == StationRole::Tower) {
            // What the file's own station recorded before the event was shared goes too.
            int sent = pushOwn(m_event->database(), *m_server, m_address.station);
            if (m_address.station != kLocalStation)
                sent += pushOwn(m_event->database(), *m_server, kLocalStation);
            if (sent > 0)
                m_server->run(QStringLiteral("SELECT pg_notify(?, 'pass')"),
                              {QStringLiteral("halvex_") + m_schema});
            noteSent(lastSeq(*m_server, m_address.station));
        } else {
            // Its file names no entry by number of its own: where the server gives a number
            // to another entry, the file's entry takes another.
            renumberClashingEntries(*m_server, m_event->database());
            if (m_address.role == StationRole::Registration &&
                pushEntries(m_event->database(), *m_server) > 0)
                m_server->run(QStringLiteral("SELECT pg_notify(?, 'entry')"),
                              {QStringLiteral("halvex_") + m_schema});
        }
        // A tower holds back a dial-in changed elsewhere while the entry's pair is still to run:
        // the pair was set up with the dial-in it has.
        std::vector<qint64> setUp;
        if (m_address.role == StationRole::Tower)
            for (const CalledPair& pair : EventRounds(*m_event).callOrder())
                for (EntryId id : pair.entries)
                    if (id != kNoEntry)
                        setUp.push_back(id);
        const Pulled pulled = pullOthers(*m_server, m_event->database(), m_schema, setUp);
        m_status.problem.clear();
        m_status.stale = pulled.stale;
        m_status.conflicts = pulled.conflicts;
        m_status.held = pulled.held;
        m_status.late << pulled.late;
        m_dirty = false;
        if (pulled.rows > 0)
            Q_EMIT eventChanged();
    } catch (const Failure& f) {
        // A refused row (a text too long for the server's column, a right the user lacks) is
        // told and tried again; only a link that no longer answers is dropped.
        QSqlQuery alive(QSqlDatabase::database(m_connection, false));
        if (m_server && alive.exec(QStringLiteral("SELECT 1"))) {
            m_status.problem = f.description();
            m_dirty = false;
        } else {
            dropServer(f.description());
        }
    }
}

void StationLink::readStations()
{
    QSqlQuery q = m_server->run(QStringLiteral("SELECT name, role, last_seen FROM halvex.station "
                                               "WHERE event_schema = ? ORDER BY name"),
                                {m_schema});
    m_status.stations.clear();
    while (q.next())
        m_status.stations.push_back(
            {q.value(0).toString(), q.value(1).toString(), q.value(2).toDateTime()});
}

void StationLink::notified(const QString& channel)
{
    if (channel != QStringLiteral("halvex_") + m_schema || !m_server)
        return;
    m_dirty = true;
    sync();
    if (m_server && m_address.role == StationRole::Tower) {
        try {
            claim(false);
        } catch (const Failure& f) {
            dropServer(f.description());
        }
    }
    publish();
}

void StationLink::syncNow()
{
    if (!m_server)
        return publish();
    sync();
    publish();
}

void StationLink::takeControl()
{
    if (!m_server)
        return;
    try {
        claim(true);
    } catch (const Failure& f) {
        dropServer(f.description());
    }
    publish();
}

void StationLink::publish()
{
    if (m_event && m_address.role == StationRole::Tower) {
        try {
            m_status.waiting = passesAfter(m_event->database(), m_address.station, m_sentSeq);
            m_status.sentSeq = m_sentSeq;
        } catch (const Failure&) {
            // The count waits for the next tick; the link's state is what matters here.
        }
    }
    Q_EMIT statusChanged(m_status);
}

StationThread::StationThread(StationLink* link) : m_link(link)
{
    m_link->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::started, m_link, &StationLink::start);
    m_thread.setObjectName(QStringLiteral("event server"));
    m_thread.start();
}

StationThread::~StationThread()
{
    QMetaObject::invokeMethod(m_link, &StationLink::stop, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_link;
}

void StationThread::syncNow()
{
    QMetaObject::invokeMethod(m_link, &StationLink::syncNow, Qt::QueuedConnection);
}

void StationThread::takeControl()
{
    QMetaObject::invokeMethod(m_link, &StationLink::takeControl, Qt::QueuedConnection);
}

} // namespace halvex
