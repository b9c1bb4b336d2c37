#include "race/SetupModel.h"

namespace halvex {

void SetupModel::setSetup(const RaceSetup& setup)
{
    if (setup == m_setup)
        return;
    m_setup = setup;
    Q_EMIT changed(m_setup);
}

void SetupModel::takeLaneNames()
{
    m_names = LaneNames{m_setup.className, m_setup.racerLeft, m_setup.racerRight, m_setup.carLeft,
                        m_setup.carRight};
}

void SetupModel::callPair(const RaceSetup& setup, const EventPairing& pairing)
{
    m_pairing = pairing;
    setSetup(setup);
}

std::optional<EventPairing> SetupModel::pairing() const
{
    if (!m_pairing || m_setup.className.trimmed() != m_pairing->className)
        return std::nullopt;
    const std::array<QString, 2> racers{m_setup.racerLeft.trimmed(), m_setup.racerRight.trimmed()};
    if (racers == m_pairing->racers)
        return m_pairing;
    if (racers[0] == m_pairing->racers[1] && racers[1] == m_pairing->racers[0]) {
        EventPairing swapped = *m_pairing;
        std::swap(swapped.entries[0], swapped.entries[1]);
        std::swap(swapped.racers[0], swapped.racers[1]);
        return swapped;
    }
    return std::nullopt;
}

void SetupModel::clearPairing()
{
    m_pairing.reset();
}

} // namespace halvex
