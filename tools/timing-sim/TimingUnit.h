#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <chrono>
#include <optional>
#include <utility>

namespace halvex::sim {

// How the unit answers; every field can be changed between commands.
struct UnitSettings
{
    std::optional<QList<qint32>> raceFields; // every race answered with these fields
    std::optional<QByteArray> rawRaceReply;  // every race answered with exactly these bytes
    std::optional<QByteArray> rawDiagReply;  // every "T" answered with exactly these bytes
    qint32 mask1 = 0;
    qint32 mask2 = 0;
    // Set: "T" is answered with a car passing the strip in each lane (passMasks) instead of the
    // two masks, each sensor blocked this long.
    std::optional<std::chrono::milliseconds> passStep;
    bool silent = false;    // "N", "P" and "T" are never answered
    bool malformed = false; // formatted replies end "!\r\n", which the program never accepts
    // Unset: a race is answered once it has run, a diagnostics poll at once.
    std::optional<std::chrono::milliseconds> answerDelay;
};

struct Answer
{
    QByteArray bytes;
    std::chrono::milliseconds delay{0}; // from the end of the command to the first byte
};

// The unit's reply framing: each field a decimal number and a line feed, then "!" and a line
// feed ("!", CR, LF when malformed).
QByteArray formatReply(const QList<qint32>& fields, bool malformed = false);

// The sensor masks while a car in each lane runs along the strip, blocking one sensor at a time
// for a step each (pre-stage, stage, intermediate 1 to 3, speed trap, finish line), then none
// for a step, over and over; the right lane's car runs one sensor behind the left's.
std::pair<qint32, qint32> passMasks(std::chrono::milliseconds elapsed,
                                    std::chrono::milliseconds step);

// The unit's side of the command set. Only "N"/"P" (start a race on the full or the Pro tree)
// and "T" (read the sensors) are answered; "A" and "B" are remembered because they change how
// long a race takes; lights, polarity and staging commands change nothing that can be seen
// on the line.
class TimingUnit
{
public:
    explicit TimingUnit(quint32 seed);

    UnitSettings& settings() { return m_settings; }
    const UnitSettings& settings() const { return m_settings; }

    // One complete command as the splitter cut it, line feeds included.
    std::optional<Answer> handle(const QByteArray& command);

    // Wall-clock time from the start command until the race is over: the tree's count
    // (full tree 1.5 s, Pro tree the last "B" count-down, 0.4 s until one is sent), then the
    // later of the two lanes, each held back by its start delay from the last "A"; a lane
    // that did not finish runs until the 2 s run limit. Never more than 10 s.
    std::chrono::milliseconds raceDuration(const QList<qint32>& fields, bool proTree) const;

private:
    Answer raceAnswer(bool proTree);
    void takeHandicap(const QByteArray& text);

    UnitSettings m_settings;
    QRandomGenerator m_random;
    qint32 m_delayLeft = 0;  // 1/10000 s
    qint32 m_delayRight = 0; // 1/10000 s
    qint32 m_countdown = 4000;
    std::optional<std::chrono::steady_clock::time_point> m_passStart;
};

} // namespace halvex::sim
