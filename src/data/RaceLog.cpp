#include "data/RaceLog.h"

#include <algorithm>

namespace halvex {

qint16 RaceLog::countRace()
{
    return ++m_counter;
}

void RaceLog::append(const RaceRecord& left, const RaceRecord& right)
{
    if (isFull())
        return;
    const int first = count();
    m_records.push_back(left);
    m_records.push_back(right);
    Q_EMIT racesAdded(first);
}

void RaceLog::clear()
{
    m_records.clear();
    m_counter = 0;
    Q_EMIT cleared();
}

int RaceLog::restore(const std::vector<RaceRecord>& records)
{
    const int first = count();
    int races = 0;
    for (std::size_t i = 0; i + 1 < records.size() && !isFull(); i += 2) {
        m_records.push_back(records[i]);
        m_records.push_back(records[i + 1]);
        m_counter = std::max(m_counter, records[i].RaceNumber);
        ++races;
    }
    if (races > 0)
        Q_EMIT racesAdded(first);
    return races;
}

} // namespace halvex
