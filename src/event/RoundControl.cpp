#include "event/RoundControl.h"

#include "event/Event.h"
#include "platform/Failure.h"
#include "race/SetupModel.h"

namespace halvex {

RoundControl::RoundControl(SetupModel& setup) : m_setup(setup) {}

RoundControl::~RoundControl() = default;

void RoundControl::open(const QString& path)
{
    if (isOpen() && path == m_path)
        return;
    close();
    auto event = std::make_unique<Event>(path);
    m_rounds = std::make_unique<EventRounds>(*event, m_station);
    m_rounds->setEpoch(m_epoch);
    m_event = std::move(event);
    m_path = path;
}

void RoundControl::close()
{
    m_rounds.reset();
    m_event.reset();
    m_path.clear();
    m_onDeck.clear();
    m_inTheHole.clear();
}

void RoundControl::call(const CalledPair& pair, bool swapLanes)
{
    const auto [setup, pairing] = m_rounds->setupFor(pair, swapLanes);
    m_setup.callPair(setup, pairing);
    refresh();
}

std::vector<CalledPair> RoundControl::waiting() const
{
    if (!isOpen())
        return {};
    return m_rounds->waiting(m_setup.pairing());
}

void RoundControl::refresh()
{
    QString onDeck;
    QString inTheHole;
    // Called after every race too: an event that cannot be read is told by the windows as they
    // redraw, never thrown into the race's signals.
    try {
        if (isOpen()) {
            const std::vector<CalledPair> order = waiting();
            if (!order.empty())
                onDeck = m_rounds->describe(order[0]);
            if (order.size() > 1)
                inTheHole = m_rounds->describe(order[1]);
        }
    } catch (const Failure&) {
        onDeck.clear();
        inTheHole.clear();
    }
    const bool moved = onDeck != m_onDeck || inTheHole != m_inTheHole;
    m_onDeck = onDeck;
    m_inTheHole = inTheHole;
    Q_EMIT changed();
    if (moved)
        Q_EMIT callOrderChanged(m_onDeck, m_inTheHole);
}

} // namespace halvex

namespace halvex {

void RoundControl::setStation(const QString& station, int epoch)
{
    m_station = station;
    m_epoch = epoch;
    if (m_rounds && m_event) {
        m_rounds = std::make_unique<EventRounds>(*m_event, m_station);
        m_rounds->setEpoch(m_epoch);
    }
}

} // namespace halvex
