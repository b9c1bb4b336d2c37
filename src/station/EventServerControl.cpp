#include "station/EventServerControl.h"

#include "event/EventDatabase.h"
#include "event/EventFiles.h"
#include "event/EventRaceStore.h"
#include "event/RoundControl.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSqlDatabase>
#include <QThread>

namespace halvex {

namespace {

const QString kTitle = QStringLiteral("Event Server");
// Who records the passes of an event kept in its file alone.
const QString kLocalStation = QStringLiteral("tower");

} // namespace

EventServerControl::EventServerControl(QString settingsPath, Prompter& prompter,
                                       EventRaceStore& journal, RoundControl& rounds)
    : m_settingsPath(std::move(settingsPath)), m_prompter(prompter), m_journal(journal),
      m_rounds(rounds), m_address(ServerAddress::load(m_settingsPath))
{}

EventServerControl::~EventServerControl()
{
    stopLink();
}

void EventServerControl::setAddress(const ServerAddress& address)
{
    ServerAddress changed = address;
    // The copies belong to the server they came from: another server's "e1" is another event.
    if (changed.host != m_address.host || changed.port != m_address.port ||
        changed.database != m_address.database) {
        changed.shared.clear();
        changed.epochs.clear();
    }
    changed.save(m_settingsPath);
    m_address = changed;
    follow(m_path);
}

void EventServerControl::stopLink()
{
    m_thread.reset();
    m_journal.setEpoch(0);
    m_journal.setStation(kLocalStation);
    m_rounds.setStation(kLocalStation, 0);
    m_rounds.setReadOnly(false);
    Q_EMIT followingChanged({});
    Q_EMIT statusShown({}, {});
}

QString EventServerControl::entriesRefusal(const QString& path) const
{
    if (m_address.role != StationRole::Display ||
        !m_address.shared.contains(QFileInfo(path).fileName()))
        return {};
    return QStringLiteral("This station follows the event on the event server: its entries are "
                          "kept at the registration desk and the tower.");
}

QString EventServerControl::removalRefusal(const QString& path) const
{
    if (!m_address.shared.contains(QFileInfo(path).fileName()))
        return {};
    return QStringLiteral("This event is shared on the event server, where every station keeps its "
                          "entries: an entry stays entered. Scratch a no-show in the round "
                          "instead.");
}

void EventServerControl::follow(const QString& path)
{
    stopLink();
    m_path = path;
    m_holderTold.clear();
    const QString schema = m_address.shared.value(QFileInfo(path).fileName());
    if (path.isEmpty() || !m_address.isSet() || schema.isEmpty())
        return;
    const int epoch = m_address.epochs.value(QFileInfo(path).fileName());
    m_journal.setStation(m_address.station);
    m_journal.setEpoch(epoch);
    m_rounds.setStation(m_address.station, epoch);
    m_rounds.setReadOnly(m_address.role != StationRole::Tower);
    if (m_address.role != StationRole::Tower)
        Q_EMIT followingChanged(QStringLiteral("This station follows the event on the event "
                                               "server: its races are started at the tower."));
    auto* link = new StationLink(m_address, path, schema);
    connect(link, &StationLink::statusChanged, this, &EventServerControl::showStatus);
    connect(link, &StationLink::eventChanged, this, [this] {
        if (m_rounds.isOpen())
            m_rounds.refresh();
    });
    connect(link, &StationLink::controlGranted, this, [this, path](int epoch) {
        m_journal.setEpoch(epoch);
        m_rounds.setStation(m_address.station, epoch);
        m_holderTold.clear();
        try {
            ServerAddress changed = m_address;
            changed.epochs.insert(QFileInfo(path).fileName(), epoch);
            changed.save(m_settingsPath);
            m_address = changed;
        } catch (const Failure& f) {
            // Raced under it all the same; a start without the server would begin at 0.
            m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
        }
    });
    connect(link, &StationLink::controlRefused, this, [this](const QString& holder) {
        // Once for each station that holds it: the status line keeps saying it.
        if (holder == m_holderTold)
            return;
        m_holderTold = holder;
        m_prompter.message(
            QStringLiteral("Control of this event is held by station \"%1\". Passes raced here "
                           "are kept but count for no round until this station takes control "
                           "(File, Take Control).")
                .arg(holder),
            kTitle, Buttons::Ok, Icon::Warning);
    });
    m_thread = std::make_unique<StationThread>(link);
}

template <typename Result>
void EventServerControl::offThread(std::function<Result()> work,
                                   std::function<void(Result, QString)> done)
{
    auto result = std::make_shared<Result>();
    auto error = std::make_shared<QString>();
    QThread* thread = QThread::create([work = std::move(work), result, error] {
        try {
            *result = work();
        } catch (const Failure& f) {
            *error = f.description();
        }
    });
    QPointer<EventServerControl> self(this);
    connect(thread, &QThread::finished, this, [self, thread, result, error, done] {
        thread->deleteLater();
        if (self)
            done(*result, *error);
    });
    thread->start();
}

void EventServerControl::listEvents(std::function<void(std::vector<ServerEvent>, QString)> done)
{
    if (!m_address.isSet())
        return done({}, {});
    const ServerAddress address = m_address;
    offThread<std::vector<ServerEvent>>(
        [address] {
            const QString name =
                QStringLiteral("halvex-list-%1").arg(quintptr(QThread::currentThreadId()));
            std::vector<ServerEvent> events;
            openServerConnection(address, name);
            try {
                events = listServerEvents(name);
            } catch (...) {
                QSqlDatabase::removeDatabase(name);
                throw;
            }
            QSqlDatabase::removeDatabase(name);
            return events;
        },
        std::move(done));
}

QString EventServerControl::copyPath(const QString& folder, const ServerEvent& event) const
{
    for (auto it = m_address.shared.cbegin(); it != m_address.shared.cend(); ++it)
        if (it.value() == event.schema)
            return QDir(folder).filePath(it.key());
    try {
        return newEventPath(folder, QStringLiteral("%1 (%2)").arg(event.name, event.schema));
    } catch (const Failure&) {
        // A name that can be no file's (a slash, a leading dot) is the server's to keep.
        return newEventPath(folder, event.schema);
    }
}

void EventServerControl::adopt(const QString& path, const QString& schema)
{
    ServerAddress changed = m_address;
    changed.shared.insert(QFileInfo(path).fileName(), schema);
    changed.save(m_settingsPath);
    m_address = changed;
}

void EventServerControl::shareChosenEvent()
{
    if (!m_address.isSet() || m_address.role != StationRole::Tower) {
        m_prompter.message(QStringLiteral("Only a tower puts events on the event server: set it "
                                          "in Settings, Event Server."),
                           kTitle, Buttons::Ok, Icon::Information);
        return;
    }
    if (!m_journal.eventChosen()) {
        m_prompter.message(QStringLiteral("Choose an event first: File, New Event or "
                                          "File, Load Event."),
                           kTitle, Buttons::Ok, Icon::Information);
        return;
    }
    if (linked()) {
        m_prompter.message(QStringLiteral("This event is on the event server already."), kTitle,
                           Buttons::Ok, Icon::Information);
        return;
    }
    const ServerAddress address = m_address;
    const QString path = m_journal.path();
    const QString name = m_journal.eventName();
    offThread<ServerEvent>(
        [address, path, name] {
            QString day;
            {
                const EventDatabase local(path);
                day = local.value(QStringLiteral("SELECT event_date FROM event")).toString();
            }
            const QString connection = QStringLiteral("halvex-share");
            openServerConnection(address, connection);
            ServerEvent made;
            try {
                made = createServerEvent(connection, name, day);
            } catch (...) {
                QSqlDatabase::removeDatabase(connection);
                throw;
            }
            QSqlDatabase::removeDatabase(connection);
            return made;
        },
        [this, path](const ServerEvent& made, const QString& error) {
            if (!error.isEmpty()) {
                m_prompter.message(error, kTitle, Buttons::Ok, Icon::Warning);
                return;
            }
            try {
                adopt(path, made.schema);
            } catch (const Failure& f) {
                m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
                return;
            }
            if (m_journal.path() == path)
                follow(path);
        });
}

void EventServerControl::takeControl()
{
    if (!m_thread || m_address.role != StationRole::Tower) {
        m_prompter.message(QStringLiteral("Only a tower linked to an event on the event server "
                                          "takes control of it."),
                           kTitle, Buttons::Ok, Icon::Information);
        return;
    }
    if (m_prompter.message(QStringLiteral("Take control of this event? The station that holds "
                                          "it now records passes that count for no round."),
                           kTitle, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    m_thread->takeControl();
}

void EventServerControl::eventWritten()
{
    if (m_thread)
        m_thread->syncNow();
}

void EventServerControl::showStatus(const StationStatus& status)
{
    QStringList stations;
    for (const SeenStation& s : status.stations)
        stations << QStringLiteral("%1 (%2): last seen %3")
                        .arg(s.name, s.role,
                             s.lastSeen.toLocalTime().toString(QStringLiteral("HH:mm:ss")));
    QString text = status.text(m_address.role);
    if (!status.problem.isEmpty())
        stations.prepend(status.problem);
    stations << status.late;
    Q_EMIT statusShown(text, stations.join(QLatin1Char('\n')));
}

} // namespace halvex
