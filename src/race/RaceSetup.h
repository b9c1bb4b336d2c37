#pragma once

#include "platform/Prompter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace halvex {

inline const QString kStartRaceCaption = QStringLiteral("Start &Race");

// What the main window shows when Start Race is pressed, read once from its controls.
struct RaceSetup
{
    QString raceCaption = kStartRaceCaption; // the Start Race button's caption
    qint16 treeIndex = -1;
    QString className;
    QString racerLeft;
    QString racerRight;
    QString carLeft;
    QString carRight;
    QString dialInLeft;
    QString dialInRight;
    bool dialInsShown = false;

    bool operator==(const RaceSetup&) const = default;
};

// The control that gets the focus back when a check stops the race.
enum class SetupField
{
    None,
    Class,
    RacerLeft,
    RacerRight,
    DialInLeft, // with its whole text selected
    DialInRight,
};

struct SetupProblem
{
    QString text; // empty: the race stops without a message
    QString title;
    Buttons buttons = Buttons::Ok;
    SetupField focus = SetupField::None;
};

// The tree types at their list positions 0 to 4.
const QStringList& treeNames();
// The name at a list position; empty for no position.
QString treeName(int treeIndex);

// Trees 1, 2 and 4 carry a handicap (index or dial-in); 0 and 3 do not.
bool isHandicapTree(int treeIndex);
bool isIndexTree(int treeIndex);

// The checks of Start Race, in their order: class, the button's caption, racers, dial-ins, and a
// log with room for the race. Nothing when the race may start.
std::optional<SetupProblem> checkRaceSetup(const RaceSetup& setup, bool logFull);

} // namespace halvex
