#pragma once

#include "race/RaceResult.h"
#include "race/RaceSetup.h"
#include "reports/BracketSheet.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace halvex {

class RaceSession;
class SetupModel;
class Settings;

// One lane of the board: who races, and once the race is in, its results in the texts and
// colours the statistics window shows them in.
struct BoardLane
{
    QString racer;
    QString car;
    QString handicap; // "Dial-In 7.500", "Index 7.500" or empty
    QString reactionTime;
    QString elapsedTime;
    QString speed;
    QString winMargin; // empty unless the lane finished ahead
    // The result in words, for a crowd that cannot tell the colours apart: "RED LIGHT",
    // "BREAKOUT", "WIN" or "DNF", the first that applies; empty before the result and for a
    // lane that finished behind.
    QString verdict;
    qint32 verdictColour = 0;
    qint32 nameColour = 0;
    qint32 carColour = 0;
    qint32 reactionTimeColour = 0;
    qint32 elapsedTimeColour = 0;
};

// One of the last races, as the board lists them under the lanes.
struct BoardRace
{
    QString title; // "Race # 3"
    std::array<QString, 2> racers;
    std::array<QString, 2> elapsedTimes;
    Lane winner = Lane::None;
};

// What the scoreboard shows, without a window: the pairing being set up, then each race's
// results, and the last five races or a class's ladder, with the pair on deck. A race's result
// stays on the board until its statistics window has closed and the operator has changed the
// setup, so the crowd reads it in full.
class Scoreboard final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLastRaces = 5;

    // Follows the setup, the session's results and commits, and the speed unit of the settings.
    void follow(const RaceSession& session, const SetupModel& setup, const Settings& settings);

    void showSetup(const RaceSetup& setup);
    void showResult(const RaceResult& result);
    // The result's window has closed: the next change of the setup may take the board.
    void releaseResult();
    void setMetric(bool metric);
    // The race log was cleared: its races leave the board's list too.
    void forgetRaces();
    // The pair to run next, as the event's windows name it ("Pro Stock E2: Ann Lee vs Bob
    // Cole"); empty takes the line off the board.
    void setOnDeck(const QString& text);
    // A class's ladder in place of the last races, until hidden; shown again with each pass
    // decided, as the sheet does not change by itself.
    void showLadder(const BracketSheet& sheet);
    void hideLadder();

    const std::array<BoardLane, 2>& lanes() const { return m_lanes; }
    QString classHeading() const { return m_classHeading; }
    QString raceTitle() const { return m_raceTitle; } // "Race # 3", or "Next Race"
    QString speedHeading() const { return m_speedHeading; }
    bool showsResult() const { return m_showsResult; }
    // Newest first.
    const QList<BoardRace>& lastRaces() const { return m_lastRaces; }
    QString onDeckLine() const; // "On deck: Pro Stock E2: Ann Lee vs Bob Cole", or empty
    const std::optional<BracketSheet>& ladder() const { return m_ladder; }

Q_SIGNALS:
    void changed();

private:
    void displaySetup(const RaceSetup& setup);

    std::array<BoardLane, 2> m_lanes;
    QString m_classHeading = QStringLiteral("Class: ");
    QString m_raceTitle = QStringLiteral("Next Race");
    QString m_speedHeading = QStringLiteral("MPH");
    bool m_showsResult = false;
    bool m_holding = false;
    bool m_metric = false;
    RaceSetup m_shown;
    RaceSetup m_upcoming;
    QList<BoardRace> m_lastRaces;
    QString m_onDeck;
    std::optional<BracketSheet> m_ladder;
};

} // namespace halvex
