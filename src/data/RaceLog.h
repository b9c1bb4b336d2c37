#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <vector>

namespace halvex {

// One lane of one race.
struct RaceRecord
{
    QString ClassName;
    QString Racer;
    QString Car;
    QString Lane; // "L" or "R"
    qint16 RaceNumber = 0;
    QString Spare1;
    QString Spare2;
    float ReactionTime = 0;
    std::array<float, 5> TimingPoint{}; // points 1 to 5 at indices 0 to 4
    float Speed = 0;
    float DialIn = 0;
    float ElapsedTime = 0;
    float WinMargin = 0;
    QString Result; // "Win" or "Lost" or empty

    bool operator==(const RaceRecord&) const = default;
};

// The races of the run, two records a race (left lane first), in the order they were committed.
// It grows as races come and holds at most 250 of them, the limit the run has always had: a 251st
// race is refused before it starts. Windows that list the log follow its signals.
class RaceLog final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRaces = 250;

    // RaceLogCount: the committed records.
    int count() const { return static_cast<int>(m_records.size()); }
    int races() const { return count() / 2; }
    // RaceCounter: the races computed so far.
    qint16 raceCounter() const { return m_counter; }
    bool isFull() const { return races() >= kMaxRaces; }
    const RaceRecord& record(int position) const
    {
        return m_records.at(static_cast<std::size_t>(position));
    }

    // Counts a race computation and returns its race number.
    qint16 countRace();
    // Commits a race; a full log takes nothing.
    void append(const RaceRecord& left, const RaceRecord& right);
    // Empties the log and starts counting races from 0 again.
    void clear();
    // Appends whole races (two records each, as committed by an earlier run) while the log has
    // room; race numbers go on from the highest restored. Returns the races taken.
    int restore(const std::vector<RaceRecord>& records);

Q_SIGNALS:
    // Races were appended from this position on.
    void racesAdded(int firstPosition);
    // Clear emptied the log.
    void cleared();

private:
    std::vector<RaceRecord> m_records;
    qint16 m_counter = 0;
};

} // namespace halvex
