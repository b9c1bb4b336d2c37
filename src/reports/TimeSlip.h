#pragma once

#include <QDateTime>
#include <QString>

namespace halvex {

struct DragSettings;
struct RaceResult;
class PrintSurface;
class Prompter;

// The tab columns of a slip layout, counted from 1 in average character widths.
struct SlipColumns
{
    int leftValue;
    int heading;
    int label;
    int rightValue;
};

// The large layout fills a letter page; the small one fits a receipt printer's roll.
inline constexpr SlipColumns kLargeSlipColumns{5, 20, 25, 45};
inline constexpr SlipColumns kSmallSlipColumns{3, 8, 17, 30};
// The date line stands at the same column in both layouts.
inline constexpr int kSlipDateColumn = 10;

// "Vantora Halvex 3000 Version 1.7.7": set by the about window, printed at the top of the slip.
QString programTitleText();

// The clock's date and time as the system's general date format writes them: the short date and
// the time with seconds.
QString generalDateText(const QDateTime& when);

// One copy of the slip of the race, ended as a job of its own.
void printSlipCopy(PrintSurface& surface, const RaceResult& race, const DragSettings& settings,
                   const QString& programTitle, const QString& dateText);

// Every configured copy, each its own job, all with the same date text. A failure of the printer
// is shown to the operator and ends the printing there: what was sent stays sent. True when every
// copy went out, so the printing notice may follow.
bool PrintTimeSlip(PrintSurface& surface, Prompter& prompter, const RaceResult& race,
                   const DragSettings& settings, const QString& programTitle,
                   const QString& dateText);

} // namespace halvex
