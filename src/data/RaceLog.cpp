#include "data/RaceLog.h"

#include "platform/Failure.h"

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
    Q_EMIT changed();
}

void RaceLog::clear()
{
    m_records.fill(RaceRecord{});
    m_count = 0;
    m_counter = 0;
    Q_EMIT changed();
}

} // namespace halvex
