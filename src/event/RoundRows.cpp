#include "event/RoundRows.h"

#include "data/Numbers.h"
#include "reports/PrintSurface.h"

#include <QHash>

#include <algorithm>

namespace halvex {

namespace {

QString nameOf(const EventRounds& rounds, const std::vector<Entry>& entries, EntryId id)
{
    const Entry* e = rounds.entry(entries, id);
    return e ? e->racer : QString();
}

QString etText(const LaneRun& run, bool redLight)
{
    if (run.entry == kNoEntry)
        return {};
    if (redLight)
        return QStringLiteral("Red light");
    // A lane that did not finish is stored as 0 or as no value at all.
    if (!(run.elapsedTime > 0))
        return QStringLiteral("DNF");
    return fixed(double(run.elapsedTime), 3);
}

// The times go with the seats: a pair raced with its lanes swapped shows its left seat's racer
// under Left all the same.
void showPass(PairRow& row, const Pass& pass, std::array<EntryId, 2> seats,
              const EventRounds& rounds, const std::vector<Entry>& entries)
{
    const bool swapped = pass.left.entry != seats[0] &&
                         (pass.right.entry == seats[0] || pass.left.entry == seats[1]);
    row.standingPass = pass.seq;
    row.leftEt = swapped ? etText(pass.right, pass.decision.redLightRight)
                         : etText(pass.left, pass.decision.redLightLeft);
    row.rightEt = swapped ? etText(pass.left, pass.decision.redLightLeft)
                          : etText(pass.right, pass.decision.redLightRight);
    const Lane won = pairWinner(pass);
    if (won != Lane::None)
        row.winner =
            nameOf(rounds, entries, won == Lane::Left ? pass.left.entry : pass.right.entry);
}

void note(PairRow& row, const QString& text)
{
    row.notes += (row.notes.isEmpty() ? QString() : QStringLiteral(", ")) + text;
}

void noteVoid(PairRow& row, size_t voided)
{
    if (voided > 0)
        note(row, QStringLiteral("%1 void").arg(voided));
}

} // namespace

std::vector<PairRow> qualifyingRows(const EventRounds& rounds, const QString& className)
{
    const auto draws = rounds.draws(className);
    const std::vector<Pass> passes = rounds.passes(className, Stage::Qualifying);
    const std::vector<Correction> fixes = rounds.corrections(className, Stage::Qualifying);
    const std::vector<Entry> entries = rounds.entriesOf(className);
    const std::vector<CalledPair> open = rounds.openPairs(className, Stage::Qualifying);
    std::vector<PairRow> rows;
    for (size_t r = 0; r < draws.size(); ++r) {
        for (size_t k = 0; k < draws[r].size(); ++k) {
            const auto here = [&](int round, int pair) {
                return round == int(r) && pair == int(k);
            };
            PairRow row;
            row.pair = CalledPair{className,
                                  Stage::Qualifying,
                                  int(r),
                                  int(k),
                                  roundName(Stage::Qualifying, int(r), int(draws.size())),
                                  draws[r][k],
                                  draws[r][k][1] == kNoEntry};
            row.left = nameOf(rounds, entries, draws[r][k][0]);
            row.right = nameOf(rounds, entries, draws[r][k][1]);
            size_t voided = 0;
            for (const Pass& p : passes) {
                if (!here(p.round, p.pair))
                    continue;
                if (madeVoid(p.seq, fixes)) {
                    ++voided;
                    continue;
                }
                showPass(row, p, draws[r][k], rounds, entries);
                if (p.byHand)
                    note(row, QStringLiteral("By hand"));
            }
            const auto called = std::find_if(open.begin(), open.end(), [&](const CalledPair& c) {
                return here(c.round, c.pair);
            });
            row.open = called != open.end() && row.standingPass == 0;
            if (called != open.end())
                row.pair = *called;
            row.state = row.standingPass != 0 ? QStringLiteral("ran")
                        : row.open            ? QStringLiteral("to run")
                                              : QStringLiteral("scratched");
            if (row.pair.bye)
                note(row, QStringLiteral("Solo"));
            for (const Correction& c : fixes)
                if (c.kind == CorrectionKind::Scratch && here(c.round, c.pair))
                    note(row, QStringLiteral("Scratch: ") + nameOf(rounds, entries, c.entry));
            noteVoid(row, voided);
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<PairRow> ladderRows(const EventRounds& rounds, const QString& className)
{
    std::vector<PairRow> rows;
    if (!rounds.ladderStarted(className))
        return rows;
    const Ladder ladder = rounds.ladder(className);
    const std::vector<Pass> passes = rounds.passes(className, Stage::Eliminations);
    QHash<qint64, const Pass*> bySeq;
    for (const Pass& p : passes)
        bySeq.insert(p.seq, &p);
    const std::vector<Entry> entries = rounds.entriesOf(className);
    const std::vector<CalledPair> open = rounds.openPairs(className, Stage::Eliminations);
    const int roundCount = int(ladder.rounds.size());
    for (int r = 0; r < roundCount; ++r) {
        for (int k = 0; k < int(ladder.rounds[size_t(r)].size()); ++k) {
            const LadderPair& p = ladder.rounds[size_t(r)][size_t(k)];
            PairRow row;
            row.pair = CalledPair{className,
                                  Stage::Eliminations,
                                  r,
                                  k,
                                  roundName(Stage::Eliminations, r, roundCount),
                                  {p.left, p.right},
                                  false};
            row.left = nameOf(rounds, entries, p.left);
            row.right = nameOf(rounds, entries, p.right);
            const auto called = std::find_if(open.begin(), open.end(), [&](const CalledPair& c) {
                return c.round == r && c.pair == k;
            });
            row.open = called != open.end();
            if (row.open)
                row.pair = *called;
            row.decided = p.state == PairState::Decided;
            row.state = p.state == PairState::Waiting ? QStringLiteral("waiting")
                        : row.decided                 ? QStringLiteral("decided")
                                                      : QStringLiteral("to run");
            if (!p.passes.empty())
                if (const Pass* pass = bySeq.value(p.passes.back()))
                    showPass(row, *pass, {p.left, p.right}, rounds, entries);
            // The pair's winner is the ladder's, which an override or a scratch may have decided.
            row.winner = row.decided ? nameOf(rounds, entries, p.winner) : QString();
            if (p.state != PairState::Waiting && (p.left == kNoEntry || p.right == kNoEntry))
                note(row, QStringLiteral("Bye"));
            for (EntryId e : p.scratched)
                note(row, QStringLiteral("Scratch: ") + nameOf(rounds, entries, e));
            if (p.overridden)
                note(row, QStringLiteral("Override"));
            noteVoid(row, p.voided.size());
            if (std::any_of(p.passes.begin(), p.passes.end(), [&](qint64 seq) {
                    const Pass* pass = bySeq.value(seq);
                    return pass && pass->byHand;
                }))
                note(row, QStringLiteral("By hand"));
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<QualifierRow> qualifierRows(const EventRounds& rounds, const QString& className)
{
    const QualifyingOrder order = rounds.qualifying(className);
    const std::vector<Entry> entries = rounds.entriesOf(className);
    std::vector<QualifierRow> rows;
    for (size_t i = 0; i < order.ranked.size(); ++i) {
        const Qualifier& q = order.ranked[i];
        const Entry* e = rounds.entry(entries, q.entry);
        rows.push_back(QualifierRow{QString::number(i + 1), e ? e->racer : QString(),
                                    e ? e->carNumber : QString(),
                                    q.counted ? fixed(double(q.elapsedTime), 3) : QString(),
                                    q.counted ? fixed(double(q.margin), 3) : QString(),
                                    q.counted ? QStringLiteral("Yes") : QStringLiteral("No")});
    }
    return rows;
}

int bumpRow(const EventRounds& rounds, const QString& className)
{
    const std::optional<EventClass> c = rounds.eventClass(className);
    const QualifyingOrder order = rounds.qualifying(className);
    const bool full = c && c->fieldSize > 0 && order.fieldCount == c->fieldSize &&
                      int(order.ranked.size()) >= c->fieldSize;
    return full ? order.fieldCount - 1 : -1;
}

std::vector<QStringList> roundSheetRows(const EventRounds& rounds,
                                        const std::vector<CalledPair>& order)
{
    QHash<QString, std::vector<Entry>> entries;
    std::vector<QStringList> rows;
    for (size_t i = 0; i < order.size(); ++i) {
        const CalledPair& p = order[i];
        if (!entries.contains(p.className))
            entries.insert(p.className, rounds.entriesOf(p.className));
        QStringList row{QString::number(i + 1), p.className, p.roundName};
        for (EntryId id : p.entries) {
            const Entry* e = rounds.entry(entries[p.className], id);
            row.append(!e                       ? QStringLiteral("-")
                       : e->carNumber.isEmpty() ? e->racer
                                                : e->racer + QStringLiteral(" #") + e->carNumber);
        }
        rows.push_back(row);
    }
    return rows;
}

void printRoundSheet(PrintSurface& surface, const QString& eventName,
                     const std::vector<QStringList>& rows)
{
    // Columns in average character widths: pair, class, round, left lane, right lane.
    static const int columns[] = {1, 6, 26, 34, 64};
    const auto printRow = [&surface](const QStringList& cells) {
        PrintLine line;
        for (int c = 0; c < cells.size() && c < 5; ++c)
            line << PrintItem::tab(columns[c]) << PrintItem::string(cells[c]);
        surface.print(line);
    };
    surface.print({PrintItem::string(eventName + QStringLiteral(" - Round Sheet"))});
    surface.print({});
    printRow({QStringLiteral("Pair"), QStringLiteral("Class"), QStringLiteral("Round"),
              QStringLiteral("Left Lane"), QStringLiteral("Right Lane")});
    for (const QStringList& cells : rows)
        printRow(cells);
    surface.endDocument();
}

} // namespace halvex
