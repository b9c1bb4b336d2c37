#include "data/RaceLog.h"

#include "platform/Failure.h"

#include <algorithm>

namespace halvex {

qint16 RaceLog::countRace()
{
    return ++m_counter;
}

void RaceLog::writeInProgress(const RaceRecord& left, const RaceRecord& right)
{
    if (m_count < 0 || isFull())
        throw Failure(QStringLiteral("The race log is full."));
    m_records[m_count] = left;
    m_records[m_count + 1] = right;
}

void RaceLog::commit()
{
    if (isFull())
        return;
    m_count = static_cast<qint16>(m_count + 2);
    Q_EMIT committed();
    Q_EMIT changed();
}

void RaceLog::clear()
{
    m_records.fill(RaceRecord{});
    m_count = 0;
    m_counter = 0;
    Q_EMIT cleared();
    Q_EMIT changed();
}

int RaceLog::restore(const std::vector<RaceRecord>& records)
{
    int races = 0;
    for (std::size_t i = 0; i + 1 < records.size() && !isFull(); i += 2) {
        m_records[m_count] = records[i];
        m_records[m_count + 1] = records[i + 1];
        m_count = static_cast<qint16>(m_count + 2);
        m_counter = std::max(m_counter, records[i].RaceNumber);
        ++races;
    }
    if (races > 0) {
        Q_EMIT committed();
        Q_EMIT changed();
    }
    return races;
}

} // namespace halvex
