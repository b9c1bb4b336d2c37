// The event's rules: the qualifying order, the ladders' pairings and their advancing through
// passes and corrections, checked from tables and, for every field size, by their properties.
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

    void roundNames()
    {
        QCOMPARE(roundName(Stage::Qualifying, 0, 0), QStringLiteral("Q1"));
        QCOMPARE(roundName(Stage::Qualifying, 2, 3), QStringLiteral("Q3"));
        QStringList e;
        for (int r = 0; r < 4; ++r)
            e << roundName(Stage::Eliminations, r, 4);
        QCOMPARE(e.join(u' '), QStringLiteral("E1 E2 E3 Final"));
        QCOMPARE(roundName(Stage::Eliminations, 0, 1), QStringLiteral("Final"));
    }
};

QTEST_GUILESS_MAIN(TestLadder)
#include "tst_ladder.moc"
