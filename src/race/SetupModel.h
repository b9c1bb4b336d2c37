#pragma once

#include "race/RaceSetup.h"

#include <QObject>

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

Q_SIGNALS:
    void changed(const halvex::RaceSetup& setup);

private:
    RaceSetup m_setup;
    LaneNames m_names;
};

} // namespace halvex
