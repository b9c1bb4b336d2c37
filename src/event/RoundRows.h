#pragma once

#include "event/EventRounds.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace halvex {

class PrintSurface;

// One pair of a round as the rounds windows list it, with what a correction on it needs.
struct PairRow
{
    CalledPair pair; // class, stage, round, pair and the drawn or seated entries
    QString left;    // racer names; empty for an empty seat
    QString right;
    QString state;  // "to run", "ran", "scratched"; on a ladder also "waiting", "decided"
    QString leftEt; // the standing pass's times: "7.512", "DNF", "Red light"
    QString rightEt;
    QString winner;
    QString notes; // "Bye", "Solo", "Scratch: Ann Lee", "Override", "1 rerun void", "By hand"
    qint64 standingPass = 0; // the pass a rerun makes void; 0 when none stands
    bool open = false;       // it can be called to the lanes
    bool decided = false;    // a ladder pair with a result an undo can take back
};

// The drawn qualifying rounds' pairs of a class, round by round.
std::vector<PairRow> qualifyingRows(const EventRounds& rounds, const QString& className);
// The ladder's pairs of a class, round by round; nothing before its ladder starts.
std::vector<PairRow> ladderRows(const EventRounds& rounds, const QString& className);

// One row of the qualifying order.
struct QualifierRow
{
    QString place;
    QString racer;
    QString carNumber;
    QString elapsedTime;
    QString margin;
    QString counted; // "Yes" or "No"
};
std::vector<QualifierRow> qualifierRows(const EventRounds& rounds, const QString& className);
// The row under which the bump line is drawn (the field's last place), or -1 while the field is
// not full.
int bumpRow(const EventRounds& rounds, const QString& className);

// The staging lanes' sheet of the pairs to call, one row a pair: its place in the call order,
// class, round, and each lane's racer with the car number ("Ann Lee #12"; "-" for an empty lane).
std::vector<QStringList> roundSheetRows(const EventRounds& rounds,
                                        const std::vector<CalledPair>& order);
// Prints the sheet as one job, headed by the event's name; throws halvex::Failure.
void printRoundSheet(PrintSurface& surface, const QString& eventName,
                     const std::vector<QStringList>& rows);

} // namespace halvex
