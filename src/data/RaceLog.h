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
    QString Result; // "Win", "Lost" or empty

    bool operator==(const RaceRecord&) const = default;
};

// The in-memory log of the run: positions 0 to 500, two records a race. A race in progress is
// written at count() (left) and count() + 1 (right) and committed by adding 2; until then it is
// not part of the log's committed records. Windows that list the log follow changed().
class RaceLog final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPositions = 501;
    // 250 races fill positions 0 to 499; a 251st would need position 501, which does not exist.
    static constexpr int kMaxRaces = 250;

    // RaceLogCount: the records held before the race in progress.
    qint16 count() const { return m_count; }
    // RaceCounter: the races computed so far.
    qint16 raceCounter() const { return m_counter; }
    bool isFull() const { return m_count + 1 >= kPositions; }
    const RaceRecord& record(int position) const { return m_records.at(position); }

    // Counts a race computation and returns its race number.
    qint16 countRace();
    // The two records of the race in progress; the log must not be full.
    void writeInProgress(const RaceRecord& left, const RaceRecord& right);
    void commit();
    // Empties every position and starts counting races from 0 again.
    void clear();
    // Appends whole races (two records each, as committed by an earlier run) while the log has
    // room; race numbers go on from the highest restored. Returns the races taken.
    int restore(const std::vector<RaceRecord>& records);

Q_SIGNALS:
    // A race was committed or restored.
    void committed();
    // Clear emptied the log.
    void cleared();
    void changed();

private:
    std::array<RaceRecord, kPositions> m_records;
    qint16 m_count = 0;
    qint16 m_counter = 0;
};

} // namespace halvex
