#pragma once

#include "data/EventPairing.h"
#include "race/RaceSetup.h"

#include <QObject>

#include <optional>

namespace halvex {

// The race being set up, held in the core: the main window edits it, Start Race takes it, the
// scoreboard shows it, and whatever sets the next pairing sets it here and the main window
// follows. Beside it, the lanes' names as the last race (or the saved setup, or a lane swap) left
// them, which the lane boxes show again after their list is reloaded.
class SetupModel final : public QObject
{
    Q_OBJECT
public:
    const RaceSetup& setup() const { return m_setup; }
    void setSetup(const RaceSetup& setup);

    const LaneNames& laneNames() const { return m_names; }
    void setLaneNames(const LaneNames& names) { m_names = names; }
    // The names the setup shows now become the lanes' names.
    void takeLaneNames();

    // An event round calls a pair: the setup becomes its race, with the pairing beside it.
    void callPair(const RaceSetup& setup, const EventPairing& pairing);
    // The called pair, as the setup races it now (its lanes swapped when the operator swapped the
    // racers), or nothing once the setup races another class or other racers.
    std::optional<EventPairing> pairing() const;
    // The called pair has had its pass: the next race is free racing unless a pair is called.
    void clearPairing();

Q_SIGNALS:
    void changed(const halvex::RaceSetup& setup);

private:
    RaceSetup m_setup;
    LaneNames m_names;
    std::optional<EventPairing> m_pairing;
};

} // namespace halvex
