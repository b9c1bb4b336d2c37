#pragma once

#include <QString>

#include <array>

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
// written at RaceLogCount (left) and RaceLogCount + 1 (right) and committed by adding 2.
struct RaceHistory
{
    static constexpr int kPositions = 501;
    // 250 races fill positions 0 to 499; a 251st would need position 501, which does not exist.
    static constexpr int kMaxRaces = 250;

    std::array<RaceRecord, kPositions> RaceLog;
    qint16 RaceLogCount = 0;
    qint16 RaceCounter = 0;
    RaceRecord LeftResult;
    RaceRecord RightResult;

    bool isFull() const { return RaceLogCount + 1 >= kPositions; }
    void clear();
};

} // namespace halvex
