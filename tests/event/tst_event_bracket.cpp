// The ladder as a bracket sheet, with the texts it prints, and the class's standings.
#include "event/EventBracket.h"

#include <QTest>

using namespace halvex;

namespace {

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

// A pass; the winner's lane 'L' or 'R', a red light on the lane 'l' or 'r'.
Pass pass(qint64 seq, int round, int pair, LaneRun l, LaneRun r, char won, bool byHand = false)
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

class TestEventBracket : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sheetTexts()
    {
        // Six cars on eight seats: 1 and 2 have byes; (1, bye) (4, 5) (2, bye) (3, 6).
        const std::vector<EntryId> seeding = {1, 2, 3, 4, 5, 6};
        const std::vector<Pass> passes = {
            pass(1, 0, 0, {1, 0.512f, 7.512f}, {}, 'L'),
            pass(2, 0, 1, {4, -0.01f, 7.1f}, {5, 0.4f, 7.6f}, 'l'),
            pass(4, 0, 1, {4, 0.45f, 7.4f}, {5, 0.5f, 0}, 'L', true),
            pass(6, 0, 3, {3, 0.3f, 7.25f}, {}, 'L'),
            pass(8, 1, 0, {1, 0.5f, 7.3f}, {4, -0.02f, 7.2f}, 'r'),
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
            pass(20, 0, 0, {1, 0.5f, 7.5f}, {4, 0.6f, 7.9f}, 'L'),
            pass(21, 0, 1, {2, 0.4f, 7.4f}, {3, 0.3f, 7.3f}, 'R'),
            pass(22, 1, 0, {1, 0.45f, 7.6f}, {3, 0.35f, 7.2f}, 'R'),
        };
        const Ladder ladder = buildLadder(seeding, LadderKind::Fixed, elims, {});
        // Qualifying: 4's 7.0 is void, 2's 6.9 a red light, 5 did not finish.
        std::vector<Pass> all = {
            pass(1, 0, 0, {4, 0.2f, 7.0f}, {5, 0.1f, 0}, 'L'),
            pass(3, 0, 1, {2, -0.1f, 6.9f}, {}, 'l'),
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

QTEST_GUILESS_MAIN(TestEventBracket)
#include "tst_event_bracket.moc"
