#include "reports/TimeSlip.h"

#include "data/DragSettings.h"
#include "data/Numbers.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "race/RaceResult.h"
#include "reports/PrintSurface.h"

#include <QLocale>

#include <algorithm>

namespace halvex {

namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 7;
constexpr int kVersionRevision = 7;

// One line of the lane table: the left value, the label in the middle, the right value.
PrintLine laneLine(const SlipColumns& c, const QString& left, const QString& label,
                   const QString& right)
{
    return {PrintItem::tab(c.leftValue), PrintItem::string(left),      PrintItem::tab(c.label),
            PrintItem::string(label),    PrintItem::tab(c.rightValue), PrintItem::string(right)};
}

} // namespace

QString programTitleText()
{
    return QStringLiteral("Vantora Halvex 3000 Version %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString generalDateText(const QDateTime& when)
{
    const QLocale locale;
    // The long time format carries the time zone's name, which the general format leaves out.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(u't');
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(when.time(), timeFormat.trimmed());
}

void printSlipCopy(PrintSurface& surface, const RaceResult& race, const DragSettings& settings,
                   const QString& programTitle, const QString& dateText)
{
    const RaceRecord& L = race.left;
    const RaceRecord& R = race.right;
    const SlipColumns& c = settings.LargeFont ? kLargeSlipColumns : kSmallSlipColumns;
    auto heading = [&](PrintLine items) {
        items.prepend(PrintItem::tab(c.heading));
        surface.print(items);
    };
    auto lane = [&](const QString& left, const QString& label, const QString& right) {
        surface.print(laneLine(c, left, label, right));
    };

    if (settings.LargeFont)
        surface.setFontSize(20);
    else
        surface.setGreyScale();

    heading({PrintItem::string(programTitle)});
    heading({PrintItem::string(QStringLiteral("Race # ")), PrintItem::integer(L.RaceNumber)});
    heading({PrintItem::string(settings.TrackName)});
    heading({PrintItem::string(QStringLiteral("Track Length = ")),
             PrintItem::string(settings.TrackLength)});
    heading(
        {PrintItem::string(QStringLiteral("Class: ")), PrintItem::string(race.setup.className)});
    heading({PrintItem::string(treeName(race.setup.treeIndex))});
    surface.print({PrintItem::tab(c.leftValue), PrintItem::string(L.Result),
                   PrintItem::tab(c.rightValue), PrintItem::string(R.Result)});
    surface.print({PrintItem::tab(c.leftValue), PrintItem::string(race.setup.racerLeft),
                   PrintItem::tab(c.rightValue), PrintItem::string(race.setup.racerRight)});
    surface.print({PrintItem::tab(c.leftValue), PrintItem::string(race.setup.carLeft),
                   PrintItem::tab(c.rightValue), PrintItem::string(race.setup.carRight)});
    lane(fixed(L.ReactionTime, 4), QStringLiteral("R/T"), fixed(R.ReactionTime, 4));
    const int points = std::clamp<int>(settings.NumberOfSensors, 0, 3);
    for (int k = 1; k <= points; ++k)
        lane(fixed(L.TimingPoint[k - 1], 4), settings.InterSensorDistance[k],
             fixed(R.TimingPoint[k - 1], 4));
    lane(fixed(L.ElapsedTime, 4), QStringLiteral("ET"), fixed(R.ElapsedTime, 4));
    lane(fixed(L.Speed, 2), settings.Metric ? QStringLiteral("KPH") : QStringLiteral("MPH"),
         fixed(R.Speed, 2));
    // The margin stands on one side only: the left one when the left lane won by it, else the
    // right one, whose line the next output ends.
    if (L.WinMargin > 0.0f)
        surface.print({PrintItem::tab(c.leftValue), PrintItem::string(fixed(L.WinMargin, 4)),
                       PrintItem::tab(c.label), PrintItem::string(QStringLiteral("WM"))});
    else
        surface.print({PrintItem::tab(c.label), PrintItem::string(QStringLiteral("WM")),
                       PrintItem::tab(c.rightValue), PrintItem::string(fixed(R.WinMargin, 4))},
                      LineEnd::Continues);
    if (isHandicapTree(race.setup.treeIndex)) {
        const QString label =
            isIndexTree(race.setup.treeIndex) ? QStringLiteral("Index") : QStringLiteral("Dial-in");
        surface.print(laneLine(c, fixed(L.DialIn, 3), label, fixed(R.DialIn, 3)),
                      LineEnd::Continues);
    }
    if (settings.LargeFont) {
        surface.setFontSize(10);
        for (int i = 0; i < 3; ++i)
            surface.print({});
    }
    surface.print({PrintItem::tab(kSlipDateColumn), PrintItem::string(dateText)});
    // A pass of an event round says which, and against whom, below the slip's own lines.
    if (const auto& p = race.pairing) {
        heading({PrintItem::string(QStringLiteral("Event: ")), PrintItem::string(p->eventName)});
        heading({PrintItem::string(QStringLiteral("Round: ")), PrintItem::string(p->roundName),
                 PrintItem::string(QStringLiteral("  Pair ")), PrintItem::integer(p->pair + 1)});
        const QString vs = p->solo()
                               ? p->racers[0] + p->racers[1] +
                                     (p->bye ? QStringLiteral(": bye") : QStringLiteral(": solo"))
                               : p->racers[0] + QStringLiteral(" vs ") + p->racers[1];
        heading({PrintItem::string(vs)});
    }
    surface.endDocument();
}

bool PrintTimeSlip(PrintSurface& surface, Prompter& prompter, const RaceResult& race,
                   const DragSettings& settings, const QString& programTitle,
                   const QString& dateText)
{
    try {
        for (int copy = 0; copy <= settings.CopiesIndex; ++copy)
            printSlipCopy(surface, race, settings, programTitle, dateText);
    } catch (const Failure& failure) {
        prompter.message(failure.description());
        return false;
    } catch (const std::exception& e) {
        prompter.message(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

} // namespace halvex
