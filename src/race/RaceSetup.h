#pragma once

#include "data/EventPairing.h"
#include "platform/Prompter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace halvex {

inline const QString kStartRaceCaption = QStringLiteral("Start &Race");

// A dial-in or index box's text, read once: whether it is a number, and its single, or the
// description of why a number does not fit a single.
struct DialIn
{
    DialIn() = default;
    DialIn(const QString& text); // NOLINT(google-explicit-constructor): a box's text is a dial-in
    DialIn(const char* text) : DialIn(QString::fromLatin1(text)) {}

    QString text;
    bool numeric = false;
    std::optional<float> value; // a number within the range of a single
    QString overflow;           // a number beyond it: the failure's description

    // The single, 0 for a text that is none.
    float single() const { return value.value_or(0.0f); }
    bool operator==(const DialIn& other) const { return text == other.text; }
};

// The race being set up, as the main window shows it: what Start Race takes.
struct RaceSetup
{
    QString raceCaption = kStartRaceCaption; // the Start Race button's caption
    qint16 treeIndex = -1;
    QString className;
    QString racerLeft;
    QString racerRight;
    QString carLeft;
    QString carRight;
    DialIn dialInLeft;
    DialIn dialInRight;
    bool dialInsShown = false;

    bool operator==(const RaceSetup&) const = default;
};

// The names of the lanes as the last race, the saved setup or a lane swap left them: the lane
// boxes show them again after their list is reloaded.
struct LaneNames
{
    QString className;
    QString racerLeft;
    QString racerRight;
    QString carLeft;
    QString carRight;

    bool operator==(const LaneNames&) const = default;
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
// log with room for the race. Nothing when the race may start. A pair of an event round may leave
// the lane it has no racer for empty, and is not stopped by a full log.
std::optional<SetupProblem> checkRaceSetup(const RaceSetup& setup, bool logFull,
                                           const std::optional<EventPairing>& pairing = {});

} // namespace halvex
