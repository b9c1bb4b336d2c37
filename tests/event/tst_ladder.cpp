// The event's rules: the qualifying order, the ladders' pairings and their advancing through
// passes and corrections, checked from tables and, for every field size, by their properties; the
// ladder as a bracket sheet, with the texts it prints, and the class's standings.
#include "event/EventBracket.h"
#include "event/Ladder.h"
#include "event/Qualifying.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <tuple>

using namespace halvex;
using namespace halvex::test;

namespace {

// "7:0.5/7.2" or "7:0.5/7.2/7.0" (entry: RT/ET/dial-in), or "-" for an empty lane.
LaneRun lane(const QString& text)
{
    if (text == u"-")
        return {};
    const QStringList f = text.split(u':');
    const QStringList t = f.value(1).split(u'/');
    return {f[0].toInt(), t.value(0).toFloat(), t.value(1).toFloat(), t.value(2).toFloat()};
}

// The pass as the race session hands it over, decided from these numbers on this tree.
Pass pass(qint64 seq, int round, int pair, LaneRun l, LaneRun r, int tree)
{
    RaceResult res;
    std::tie(res.left.ReactionTime, res.left.ElapsedTime, res.left.DialIn) =
        std::tuple(l.reactionTime, l.elapsedTime, l.dialIn);
    std::tie(res.right.ReactionTime, res.right.ElapsedTime, res.right.DialIn) =
        std::tuple(r.reactionTime, r.elapsedTime, r.dialIn);
    res.decision = decideWinner(tree, res.left, res.right);
    return passFromResult(res, seq, round, pair, l.entry, r.entry);
}

struct Script
{
    std::vector<Pass> passes;
    std::vector<Correction> corrections;
};

// Steps separated by ';', each taking the next seq from 1: "p R.K LEFT RIGHT", "rerun R.K SEQ",
// "scratch R.K ENTRY", "override R.K ENTRY", "undo R.K".
Script script(const QString& steps, int tree)
{
    Script s;
    qint64 seq = 0;
    for (const QString& step : steps.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = step.trimmed().split(u' ');
        const QStringList at = f.value(1).split(u'.');
        const int round = at[0].toInt(), pair = at.value(1).toInt();
        ++seq;
        if (f[0] == u"p") {
            s.passes.push_back(pass(seq, round, pair, lane(f[2]), lane(f[3]), tree));
            continue;
        }
        // In the order of CorrectionKind.
        const qsizetype kind =
            QStringLiteral("rerun scratch undo override").split(u' ').indexOf(f[0]);
        if (kind < 0)
            qFatal("unknown step %s", qPrintable(step));
        const int arg = f.value(2).toInt();
        s.corrections.push_back({seq, CorrectionKind(kind), round, pair, arg, arg, {}});
    }
    return s;
}

QString entryText(EntryId e)
{
    return e == kNoEntry ? QString() : QString::number(e);
}

// Rounds split by " | "; a pair "L-R" then "?" open or ">W" decided (">" alone: nobody
// advances), "!" overridden, "xE" scratched, "vS" voided; "." a pair still waiting.
QString dump(const Ladder& ladder)
{
    QStringList rounds;
    for (const std::vector<LadderPair>& round : ladder.rounds) {
        QStringList pairs;
        for (const LadderPair& p : round) {
            QString s = entryText(p.left) + u'-' + entryText(p.right);
            if (p.state == PairState::Waiting)
                s = QStringLiteral(".");
            else
                s += p.state == PairState::Open ? QStringLiteral("?") : u'>' + entryText(p.winner);
            if (p.overridden)
                s += u'!';
            for (EntryId e : p.scratched)
                s += u'x' + QString::number(e);
            for (qint64 v : p.voided)
                s += u'v' + QString::number(v);
            pairs << s;
        }
        rounds << pairs.join(u' ');
    }
    return rounds.join(QStringLiteral(" | "));
}

QString seqList(const std::vector<qint64>& seqs)
{
    QStringList s;
    for (qint64 q : seqs)
        s << QString::number(q);
    return s.isEmpty() ? QStringLiteral("-") : s.join(u' ');
}

std::vector<EntryId> seeds(int n)
{
    std::vector<EntryId> s(n);
    std::iota(s.begin(), s.end(), 1);
    return s;
}

LadderKind ladderType(const QString& name)
{
    if (name != u"fixed" && name != u"repaired")
        qFatal("unknown ladder type %s", qPrintable(name));
    return name == u"fixed" ? LadderKind::Fixed : LadderKind::Repaired;
}

const EventClass kClass{QStringLiteral("Stock")};

std::vector<Entry> entries(int n)
{
    const QStringList names = {"Ann", "Bob", "Cy", "Di", "Ed", "Flo", "Gus"};
    std::vector<Entry> e;
    for (int i = 1; i <= n; ++i)
        e.push_back({i, kClass.name, names[i - 1], {}, QString::number(10 + i)});
    e.push_back({99, QStringLiteral("Open"), QStringLiteral("Other"), {}, {}});
    return e;
}

// A pass decided as given: the winner's lane 'L' or 'R', a red light on the lane 'l' or 'r'.
Pass decided(qint64 seq, int round, int pair, LaneRun l, LaneRun r, char won, bool byHand = false)
{
    Pass p{seq, round, pair, l, r, {}, byHand};
    p.decision.winner = won == 'L' || won == 'r' ? Lane::Left : Lane::Right;
    p.decision.redLightLeft = won == 'l';
    p.decision.redLightRight = won == 'r';
    return p;
}

QString seat(const BracketSeat& s)
{
    return s.racer + u'/' + s.carNumber + u'/' + s.elapsedTime + u'/' + s.reactionTime +
           (s.winner ? QStringLiteral("*") : QString());
}

} // namespace

class TestLadder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row of qualifying.tsv: the runs, one solo pass each, and the order with the cut.
    void qualifying()
    {
        for (const QStringList& row : tableRows(QFINDTESTDATA("qualifying.tsv"), 6)) {
            Script s = script(row[3], 0);
            for (const QString& v : row[4].split(u' ', Qt::SkipEmptyParts))
                s.corrections.push_back(
                    {0, CorrectionKind::Rerun, 0, 0, v.toLongLong(), kNoEntry, {}});
            const Handicap m = row[1] == u"et" ? Handicap::HeadsUp : Handicap::DialIn;
            const QualifyingOrder order =
                qualifyingOrder(s.passes, s.corrections, m, row[2].toInt());
            const size_t cut = fieldSeeding(order).size();
            QStringList got;
            for (size_t i = 0; i < order.ranked.size(); ++i) {
                const Qualifier& q = order.ranked[i];
                got << (i == cut ? QStringLiteral("| ") : QString()) + QString::number(q.entry) +
                           (q.breakout ? "b" : "") + (q.counted ? "" : "~");
            }
            QVERIFY2(got.join(u' ') == row[5],
                     qPrintable(row[0] + QStringLiteral(": ") + got.join(u' ')));
        }
    }

    // Each row of pairings.tsv: the first round of a ladder of n entries seeded 1 to n.
    void pairings()
    {
        for (const QStringList& row : tableRows(QFINDTESTDATA("pairings.tsv"), 3)) {
            const Ladder l = buildLadder(seeds(row[1].toInt()), ladderType(row[0]), {}, {});
            QVERIFY2(dump(l).section(QStringLiteral(" | "), 0, 0).remove(u'?') == row[2],
                     qPrintable(row[0] + u' ' + row[1] + QStringLiteral(": ") + dump(l)));
        }
    }

    // Each row of advancing.tsv: a script of passes and corrections and the ladder it leaves.
    void advancing()
    {
        for (const QStringList& row : tableRows(QFINDTESTDATA("advancing.tsv"), 9)) {
            const Script s = script(row[4], row[3].toInt());
            const Ladder l =
                buildLadder(seeds(row[2].toInt()), ladderType(row[1]), s.passes, s.corrections);
            const std::optional<PairRef> next = nextPair(l);
            const QString got = dump(l) + u'\t' +
                                (next ? QStringLiteral("%1.%2").arg(next->round).arg(next->pair)
                                      : QStringLiteral("-")) +
                                u'\t' + seqList(l.ignored) + u'\t' +
                                (l.winner == kNoEntry ? QStringLiteral("-") : entryText(l.winner));
            const QString expected = QStringList(row.mid(5)).join(u'\t');
            QVERIFY2(got == expected, qPrintable(row[0] + QStringLiteral(":\n  got ") + got +
                                                 QStringLiteral("\n want ") + expected));
            // A reload hands the lists over in another order: the same ladder.
            std::vector<Pass> passes(s.passes.rbegin(), s.passes.rend());
            std::vector<Correction> corrections(s.corrections.rbegin(), s.corrections.rend());
            QCOMPARE(
                dump(buildLadder(seeds(row[2].toInt()), ladderType(row[1]), passes, corrections)),
                dump(l));
        }
    }

    // Every field from 2 to 64, both ladders, run to the final once with the better seed always
    // winning and once with random winners.
    void everyFieldSize()
    {
        QRandomGenerator random(19);
        for (int t = 0; t < 4; ++t) {
            const LadderKind type = t % 2 ? LadderKind::Repaired : LadderKind::Fixed;
            const bool upsets = t >= 2;
            for (int n = 2; n <= 64; ++n) {
                const QByteArray where =
                    QStringLiteral("run %1, %2 entries").arg(t).arg(n).toUtf8();
#define CHECK(c) QVERIFY2(c, where.constData())
                int size = 2;
                while (size < n)
                    size *= 2;
                std::vector<Pass> passes;
                Ladder l = buildLadder(seeds(n), type, {}, {});
                int byes = 0;
                for (const LadderPair& p : l.rounds[0]) {
                    CHECK(p.left != kNoEntry && (p.left < p.right || p.right == kNoEntry));
                    if (p.right == kNoEntry)
                        CHECK(++byes && p.left <= size - n); // byes go to the top seeds
                }
                CHECK(byes == size - n);
                while (const std::optional<PairRef> next = nextPair(l)) {
                    const LadderPair& p = l.rounds[next->round][next->pair];
                    const bool leftWins = !upsets || random.bounded(2) == 0;
                    passes.push_back(pass(qint64(passes.size()) + 1, next->round, next->pair,
                                          {p.left, 0.5f, leftWins ? 7.0f : 7.5f},
                                          {p.right, 0.5f, leftWins ? 7.5f : 7.0f}, 0));
                    l = buildLadder(seeds(n), type, passes, {});
                }
                CHECK(l.ignored.empty() && int(passes.size()) == size - 1); // byes ran solo
                for (size_t r = 0; r < l.rounds.size(); ++r) {
                    std::vector<int> seated(n + 1);
                    for (const LadderPair& p : l.rounds[r]) {
                        CHECK(p.state == PairState::Decided && p.winner != kNoEntry);
                        CHECK(++seated[p.left] == 1);
                        CHECK(p.right == kNoEntry || ++seated[p.right] == 1);
                        CHECK(p.left != 1 || p.right != 2 || r + 1 == l.rounds.size());
                    }
                    CHECK(r > 0 || std::count(seated.begin(), seated.end(), 1) == n);
                }
                const LadderPair& finalPair = l.rounds.back().front();
                CHECK(l.winner == finalPair.winner);
                CHECK(upsets || (l.winner == 1 && finalPair.left == 1 && finalPair.right == 2));
#undef CHECK
            }
        }
    }

    void sheetTexts()
    {
        // The rounds' names: a ladder's last round is its final.
        QStringList e{roundName(Stage::Qualifying, 0, 0), roundName(Stage::Qualifying, 2, 3)};
        for (int r = 0; r < 4; ++r)
            e << roundName(Stage::Eliminations, r, 4);
        QCOMPARE(e << roundName(Stage::Eliminations, 0, 1),
                 QStringList({"Q1", "Q3", "E1", "E2", "E3", "Final", "Final"}));

        // Six cars on eight seats: 1 and 2 have byes; (1, bye) (4, 5) (2, bye) (3, 6).
        const std::vector<EntryId> seeding = {1, 2, 3, 4, 5, 6};
        const std::vector<Pass> passes = {
            decided(1, 0, 0, {1, 0.512f, 7.512f}, {}, 'L'),
            decided(2, 0, 1, {4, -0.01f, 7.1f}, {5, 0.4f, 7.6f}, 'l'),
            decided(4, 0, 1, {4, 0.45f, 7.4f}, {5, 0.5f, 0}, 'L', true),
            decided(6, 0, 3, {3, 0.3f, 7.25f}, {}, 'L'),
            decided(8, 1, 0, {1, 0.5f, 7.3f}, {4, -0.02f, 7.2f}, 'r'),
        };
        const std::vector<Correction> corrections = {
            {3, CorrectionKind::Rerun, 0, 1, 2, 0, {}},
            {5, CorrectionKind::Scratch, 0, 3, 0, 6, {}},
            {7, CorrectionKind::Override, 0, 2, 0, 2, {}},
        };
        const Ladder ladder = buildLadder(seeding, LadderKind::Fixed, passes, corrections);
        const BracketSheet sheet =
            bracketSheet(QStringLiteral("Club Night"), kClass, ladder, passes, entries(6));
        QVERIFY(sheet.eventName == u"Club Night" && sheet.className == u"Stock" && sheet.joined &&
                sheet.winner.isEmpty());
        QStringList got; // each pair as "round: seat | seat | note"
        for (const BracketRound& round : sheet.rounds)
            for (const BracketPair& p : round.pairs)
                got << QStringLiteral("%1: %2 | %3 | %4")
                           .arg(round.name, seat(p.seats[0]), seat(p.seats[1]), p.note);
        QCOMPARE(got, (QStringList{"E1: Ann/11/7.512/0.512* | /// | Bye",
                                   "E1: Di/14/7.400/0.450* | Ed/15/DNF/0.500 | Rerun, By hand",
                                   "E1: Bob/12//* | /// | Bye, Override",
                                   "E1: Cy/13/7.250/0.300* | Flo/16// | Scratch",
                                   "E2: Ann/11/7.300/0.500* | Di/14/RED LIGHT/-0.020 | ",
                                   "E2: Bob/12// | Cy/13// | ", "Final: /// | /// | "}));
    }

    void standingsOrder()
    {
        // 1 beats 4, 3 beats 2, 3 wins the final; 5 and 7 did not make the field.
        const std::vector<EntryId> seeding = {1, 2, 3, 4};
        std::vector<Pass> elims = {
            decided(20, 0, 0, {1, 0.5f, 7.5f}, {4, 0.6f, 7.9f}, 'L'),
            decided(21, 0, 1, {2, 0.4f, 7.4f}, {3, 0.3f, 7.3f}, 'R'),
            decided(22, 1, 0, {1, 0.45f, 7.6f}, {3, 0.35f, 7.2f}, 'R'),
        };
        const Ladder ladder = buildLadder(seeding, LadderKind::Fixed, elims, {});
        // Qualifying: 4's 7.0 is void, 2's 6.9 a red light, 5 did not finish.
        std::vector<Pass> all = {
            decided(1, 0, 0, {4, 0.2f, 7.0f}, {5, 0.1f, 0}, 'L'),
            decided(3, 0, 1, {2, -0.1f, 6.9f}, {}, 'l'),
        };
        all.insert(all.end(), elims.begin(), elims.end());
        const std::vector<Correction> corrections = {{2, CorrectionKind::Rerun, 0, 0, 1, 0, {}}};
        const auto t = [](std::optional<float> v) { return v ? QString::number(*v) : "-"; };
        QStringList got;
        for (const ClassStanding& s : classResults(ladder, all, entries(7), kClass, corrections))
            got << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(QString::number(s.place), s.racer, s.round, t(s.bestElapsedTime),
                            t(s.bestReactionTime));
        QCOMPARE(got, (QStringList{"1 Cy Final 7.2 0.3", "2 Ann Final 7.5 0.45", "3 Bob E1 7.4 0.4",
                                   "3 Di E1 7.9 0.6", "5 Ed Q - -", "5 Flo Q - -", "5 Gus Q - -"}));
    }
};

QTEST_GUILESS_MAIN(TestLadder)
#include "tst_ladder.moc"
