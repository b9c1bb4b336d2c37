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

} // namespace halvex
