#include "reports/BracketExport.h"

#include "data/Numbers.h"
#include "platform/ProgramFolder.h"

#include <QStringList>

namespace halvex {

namespace {

constexpr int kColumnsPerRound = 5;

// The row of a pair's first seat: a first-round pair's block is three rows, a later round's
// covers the blocks of the pairs before it, and the pair sits in the middle of its own.
int seatRow(int round, int pair)
{
    const int block = 3 << round;
    return 1 + pair * block + (block - 3) / 2;
}

} // namespace

GridModel bracketGrid(const BracketSheet& sheet)
{
    const int rounds = int(sheet.rounds.size());
    const int firstPairs = rounds > 0 ? int(sheet.rounds.front().pairs.size()) : 0;
    GridModel grid(1 + 3 * firstPairs, rounds * kColumnsPerRound + 1, 1, 0);
    for (int r = 0; r < rounds; ++r) {
        const int c = r * kColumnsPerRound;
        const BracketRound& round = sheet.rounds[r];
        grid.setText(0, c, round.name);
        grid.setText(0, c + 1, QStringLiteral("Car"));
        grid.setText(0, c + 2, QStringLiteral("ET"));
        grid.setText(0, c + 3, QStringLiteral("RT"));
        grid.setText(0, c + 4, QStringLiteral("Win"));
        for (int k = 0; k < int(round.pairs.size()); ++k) {
            const BracketPair& pair = round.pairs[k];
            const int row = seatRow(r, k);
            if (row + 2 >= grid.rows())
                break; // a sheet with more pairs in a later round than its first can hold
            for (int s = 0; s < 2; ++s) {
                const BracketSeat& seat = pair.seats[size_t(s)];
                grid.setText(row + s, c, seat.racer);
                grid.setText(row + s, c + 1, seat.carNumber);
                grid.setText(row + s, c + 2, seat.elapsedTime);
                grid.setText(row + s, c + 3, seat.reactionTime);
                grid.setText(row + s, c + 4, seat.winner ? QStringLiteral("W") : QString());
            }
            grid.setText(row + 2, c, pair.note);
        }
    }
    const int winnerColumn = rounds * kColumnsPerRound;
    grid.setText(0, winnerColumn, QStringLiteral("Winner"));
    if (rounds > 0 && grid.rows() > 1)
        grid.setText(seatRow(rounds - 1, 0), winnerColumn, sheet.winner);
    for (int c = 0; c < grid.cols(); ++c)
        grid.setColWidth(c, c % kColumnsPerRound == 0 ? 2400 : 800);
    return grid;
}

GridModel classResultsGrid(std::span<const ClassStanding> standings)
{
    const QStringList titles = {QStringLiteral("Place"),   QStringLiteral("Car"),
                                QStringLiteral("Racer"),   QStringLiteral("Round"),
                                QStringLiteral("Best ET"), QStringLiteral("Best RT")};
    GridModel grid(1 + int(standings.size()), int(titles.size()), 1, 0);
    for (int c = 0; c < titles.size(); ++c)
        grid.setText(0, c, titles[c]);
    int row = 1;
    for (const ClassStanding& s : standings) {
        grid.setText(row, 0, QString::number(s.place));
        grid.setText(row, 1, s.carNumber);
        grid.setText(row, 2, s.racer);
        grid.setText(row, 3, s.round);
        grid.setText(row, 4, s.bestElapsedTime ? fixed(*s.bestElapsedTime, 3) : QString());
        grid.setText(row, 5, s.bestReactionTime ? fixed(*s.bestReactionTime, 3) : QString());
        ++row;
    }
    grid.setColWidth(2, 2400);
    return grid;
}

void exportBracket(const QString& path, ExportFormat format, const BracketSheet& sheet)
{
    writeFileAtomically(path, exportGrid(bracketGrid(sheet), format, QStringLiteral("Bracket")));
}

void exportClassResults(const QString& path, ExportFormat format,
                        std::span<const ClassStanding> standings)
{
    writeFileAtomically(
        path, exportGrid(classResultsGrid(standings), format, QStringLiteral("Class Results")));
}

} // namespace halvex
