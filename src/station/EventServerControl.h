#pragma once

#include "station/EventSync.h"
#include "station/ServerAddress.h"
#include "station/StationLink.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace halvex {

class EventRaceStore;
class Prompter;
class RoundControl;

// The station's side of a shared event, as the main window uses it: the event server's settings
// file, the link of the chosen event when it is a copy of a server's, the operator's questions
// about control, and the status line. What needs the server runs on a thread of its own; the
// answers come back to the window's thread.
class EventServerControl final : public QObject
{
    Q_OBJECT
public:
    EventServerControl(QString settingsPath, Prompter& prompter, EventRaceStore& journal,
                       RoundControl& rounds);
    ~EventServerControl() override;
    Q_DISABLE_COPY_MOVE(EventServerControl)

    const ServerAddress& address() const { return m_address; }
    // Saves the settings and links the chosen event anew; throws halvex::Failure.
    void setAddress(const ServerAddress& address);
    // The chosen event is now `path`: a copy of a server's event is linked, any other is not.
    void follow(const QString& path);
    bool linked() const { return m_thread != nullptr; }
    // Why the entries of the event file at `path` are not edited here (a display's copy of a
    // shared event, which only takes what the server has), or empty.
    QString entriesRefusal(const QString& path) const;
    // Why no entry leaves the event file at `path` (a shared event's entries are every station's),
    // or empty.
    QString removalRefusal(const QString& path) const;

    // The server's events, given to `done` on this thread (an empty list and the reason when
    // the server cannot be asked).
    void listEvents(std::function<void(std::vector<ServerEvent>, QString)> done);
    // The file in `folder` that keeps this station's copy of a server's event.
    QString copyPath(const QString& folder, const ServerEvent& event) const;
    // The file `path` is from now on this station's copy of the server's event `schema`.
    void adopt(const QString& path, const QString& schema);

    // File, Put Event on Server: the chosen event goes to the server and is linked. Told to the
    // operator when done or refused.
    void shareChosenEvent();
    // File, Take Control, after the operator confirms.
    void takeControl();
    // A pass, a correction or a draw was written: sent now rather than at the next tick.
    void eventWritten();

Q_SIGNALS:
    // The status line's text, and the stations of the event with when each was last seen.
    void statusShown(const QString& text, const QString& stations);
    // Why this station starts no race (it follows the event as a display or registration desk),
    // or empty when it races.
    void followingChanged(const QString& why);

private:
    void stopLink();
    void showStatus(const StationStatus& status);
    template <typename Result>
    void offThread(std::function<Result()> work, std::function<void(Result, QString)> done);

    QString m_settingsPath;
    Prompter& m_prompter;
    EventRaceStore& m_journal;
    RoundControl& m_rounds;
    ServerAddress m_address;
    QString m_path;
    QString m_holderTold;
    std::unique_ptr<StationThread> m_thread;
};

} // namespace halvex
