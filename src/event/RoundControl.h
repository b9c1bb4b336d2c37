#pragma once

#include "event/EventRounds.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace halvex {

class Event;
class SetupModel;

// The rounds of the chosen event as the rounds windows follow them: the event opened once for
// them, the pair called to the lanes, and who comes after it. Whatever changes the event (a pass,
// a correction, a draw, a ladder started) ends with refresh(), and every window redraws from the
// event itself.
class RoundControl final : public QObject
{
    Q_OBJECT
public:
    explicit RoundControl(SetupModel& setup);
    ~RoundControl() override;
    Q_DISABLE_COPY_MOVE(RoundControl)

    // Opens the event file, unless it is the one open already; throws halvex::Failure.
    void open(const QString& path);
    void close();
    bool isOpen() const { return m_rounds != nullptr; }
    QString path() const { return m_path; }
    // Only while open.
    EventRounds& rounds() { return *m_rounds; }
    Event& openEvent() { return *m_event; }

    // The pair goes to the race setup (its lanes swapped when asked), and the call order moves on.
    // Throws halvex::Failure.
    void call(const CalledPair& pair, bool swapLanes);
    // The call order without the pair in the lanes: the first is on deck, the second in the hole.
    std::vector<CalledPair> waiting() const;
    QString onDeck() const { return m_onDeck; }
    QString inTheHole() const { return m_inTheHole; }

    void refresh();
    // Who records the corrections and passes entered here, under which control epoch of a
    // shared event (0: not shared); the rounds opened from now on, and those open now.
    void setStation(const QString& station, int epoch);
    // A station that follows a shared event changes none of its rounds.
    void setReadOnly(bool readOnly)
    {
        m_readOnly = readOnly;
        refresh();
    }
    bool isReadOnly() const { return m_readOnly; }

Q_SIGNALS:
    void changed();
    // What the staging lanes call next, for whoever shows it beside the windows (the scoreboard).
    void callOrderChanged(const QString& onDeck, const QString& inTheHole);

private:
    SetupModel& m_setup;
    QString m_path;
    std::unique_ptr<Event> m_event;
    std::unique_ptr<EventRounds> m_rounds;
    QString m_onDeck;
    QString m_inTheHole;
    QString m_station = QStringLiteral("tower");
    int m_epoch = 0;
    bool m_readOnly = false;
};

} // namespace halvex
