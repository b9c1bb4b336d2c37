#include "race/RaceSetup.h"

#include "data/Numbers.h"
#include "data/RaceLog.h"
#include "platform/Failure.h"

#include <vector>

namespace halvex {

DialIn::DialIn(const QString& boxText) : text(boxText), numeric(isNumeric(boxText))
{
    if (!numeric)
        return;
    try {
        value = singleValue(boxText);
    } catch (const Failure& f) {
        overflow = f.description();
    }
}

const QStringList& treeNames()
{
    static const QStringList names{
        QStringLiteral("Full Tree"), QStringLiteral("Full Tree with Index"),
        QStringLiteral("Full Tree with Dial-In"), QStringLiteral("Pro-Tree"),
        QStringLiteral("Pro-Tree with Index")};
    return names;
}

QString treeName(int treeIndex)
{
    return treeNames().value(treeIndex);
}

bool isHandicapTree(int treeIndex)
{
    return treeIndex == 1 || treeIndex == 2 || treeIndex == 4;
}

bool isIndexTree(int treeIndex)
{
    return treeIndex == 1 || treeIndex == 4;
}

std::optional<SetupProblem> checkRaceSetup(const RaceSetup& s, bool logFull,
                                           const std::optional<EventPairing>& pairing)
{
    const bool emptyLeft = pairing && pairing->entries[0] == 0;
    const bool emptyRight = pairing && pairing->entries[1] == 0;
    if (s.className.isEmpty())
        return SetupProblem{
            QStringLiteral("Please select Class"), {}, Buttons::Ok, SetupField::Class};
    if (s.raceCaption != kStartRaceCaption)
        return SetupProblem{{}, {}, Buttons::Ok, SetupField::None};
    if (s.racerLeft.trimmed().isEmpty() && !emptyLeft)
        return SetupProblem{
            QStringLiteral("Please select Racers"), {}, Buttons::Ok, SetupField::RacerLeft};
    if (s.racerRight.trimmed().isEmpty() && !emptyRight)
        return SetupProblem{
            QStringLiteral("Please select Racers"), {}, Buttons::Ok, SetupField::RacerRight};
    if (s.dialInsShown) {
        const QString notNumeric = QStringLiteral("Dial-In must be numeric");
        const QString title = QStringLiteral("Dail-In Value");
        if (!s.dialInLeft.numeric && !emptyLeft)
            return SetupProblem{notNumeric, title, Buttons::Ok, SetupField::DialInLeft};
        if (!s.dialInRight.numeric && !emptyRight)
            return SetupProblem{notNumeric, title, Buttons::Ok, SetupField::DialInRight};
        // A value beyond the single range: the click ends with the error's description.
        std::vector<const DialIn*> lanes;
        if (!emptyLeft)
            lanes.push_back(&s.dialInLeft);
        if (!emptyRight)
            lanes.push_back(&s.dialInRight);
        for (const DialIn* d : lanes) {
            if (!d->value)
                return SetupProblem{d->overflow, {}, Buttons::Ok, SetupField::None};
            if (*d->value == 0)
                return SetupProblem{
                    QStringLiteral("Enter Dial-In values.\r\nOr select a different Tree."),
                    QStringLiteral("Dial-In Values"), Buttons::OkCancel, SetupField::None};
        }
    }
    if (logFull && !pairing)
        return SetupProblem{
            QStringLiteral("The race log is full: it holds %1 races. Save the race data and clear "
                           "the log (View, Logged Races) before the next race.")
                .arg(RaceLog::kMaxRaces),
            {},
            Buttons::Ok,
            SetupField::None};
    return std::nullopt;
}

} // namespace halvex
