#include "race/Colours.h"
#include "race/RaceResult.h"
#include "race/ResultDisplay.h"
#include "support/SessionRig.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

// A race report: reaction times, raw finishes (from the lane's start signal) and traps in units
// of 0.1 ms, the timing points left at 0 unless given.
RaceReply reply(qint32 rtLeft, qint32 rtRight, qint32 finishLeft, qint32 finishRight,
                qint32 trapLeft = 0, qint32 trapRight = 0)
{
    RaceReply r{};
    r[3] = rtLeft;
    r[4] = rtRight;
    r[11] = trapLeft;
    r[12] = trapRight;
    r[13] = finishLeft;
    r[14] = finishRight;
    return r;
}

DragSettings imperial()
{
    DragSettings s;
    s.SpeedTrapDistance = 12;
    s.SpeedMultiplier = 1;
    s.NumberOfSensors = 3;
    s.InterSensorDistance[1] = QStringLiteral("10 ft");
    s.InterSensorDistance[2] = QStringLiteral("20 ft");
    s.InterSensorDistance[3] = QStringLiteral("40 ft");
    return s;
}

} // namespace

class TestRaceResult : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One race a row of winner-decisions.tsv.
    void winnerDecision_data() { addTableRows(QFINDTESTDATA("winner-decisions.tsv"), 9); }

    void winnerDecision()
    {
        QFETCH(QStringList, row);
        for (int i : {1, 4, 5, 6, 7})
            QCOMPARE(QString::number(row[i].toInt()), row[i]); // no typo read as 0
        const auto unit = [&row](int i) { return row[i].toInt(); };
        const QString expected = row[8];
        const RaceResult r = computeRace(annAgainstBob(unit(1), row[2], row[3]),
                                         reply(unit(4), unit(5), unit(6), unit(7)), imperial(), 7);
        const WinnerDecision& w = r.decision;
        QString got = w.winner == Lane::Left    ? QStringLiteral("L")
                      : w.winner == Lane::Right ? QStringLiteral("R")
                                                : QStringLiteral("-");
        for (const auto& [name, left, right] :
             {std::tuple(" red:", w.redLightLeft, w.redLightRight),
              std::tuple(" out:", w.breakoutLeft, w.breakoutRight)})
            if (left || right)
                got += QLatin1String(name) + (left ? "L" : "") + (right ? "R" : "");
        QCOMPARE(got, expected);

        // The win is written into both records and lights the winner's lane; no winner, no text.
        const QString written = r.left.Result + u'/' + r.right.Result + u' ' + r.winLight;
        QCOMPARE(written, expected[0] == u'L'   ? QStringLiteral("Win/Lost GL81")
                          : expected[0] == u'R' ? QStringLiteral("Lost/Win GR81")
                                                : QStringLiteral("/ "));
    }

    void timesAndMarginsAreSingleAtEveryStep()
    {
        RaceReply r = reply(5000, 4000, 45678, 98765, 45000, 98000);
        r[5] = 20000;
        r[6] = 19000;
        r[9] = 75000;
        const RaceResult res = computeRace(annAgainstBob(2, "9.123", "1.017"), r, imperial(), 3);
        const RaceRecord& L = res.left;
        const RaceRecord& R = res.right;
        QCOMPARE(L.RaceNumber, qint16(3));
        QCOMPARE(R.Lane, QStringLiteral("R"));
        QCOMPARE(R.Car, QStringLiteral("Blue"));
        QCOMPARE(bits(L.ReactionTime), 0x3f000000u);   // 0.5
        QCOMPARE(bits(L.TimingPoint[0]), 0x3fc00000u); // 2.0 - 0.5
        QCOMPARE(bits(L.TimingPoint[1]), 0xbf000000u); // a point the unit left at 0
        QCOMPARE(bits(L.TimingPoint[2]), 0x40e00000u); // 7.5 - 0.5
        QCOMPARE(bits(L.TimingPoint[3]), 0u);
        QCOMPARE(bits(res.trapTimeLeft), 0x40900000u); // 4.5
        // Margins from the raw finish times and the dial-ins, each difference and the sum
        // rounded to single; worked in double the last bit differs.
        QCOMPARE(bits(L.WinMargin), 0x4156a29cu);
        QCOMPARE(bits(R.WinMargin), 0xc156a29cu);
        QCOMPARE(bits(L.DialIn), bits(9.123f));
        // ET: raw finish minus RT, in single.
        QCOMPARE(bits(L.ElapsedTime), bits(4.5678f - 0.5f));
        QCOMPARE(bits(R.ElapsedTime), bits(9.8765f - 0.4f));
    }

    void trapSpeeds()
    {
        // 12 inches in 0.01 s (finish 1.0500, trap 1.0400) is 68.18... miles per hour.
        const RaceResult r = computeRace(
            annAgainstBob(0), reply(500, 400, 10500, 10800, 10400, 10700), imperial(), 1);
        QCOMPARE(bits(r.left.Speed), 0x42885d20u);
        QCOMPARE(r.lanes[0].speed, QStringLiteral("68.18"));
        QCOMPARE(ComputeSpeed(0.0f, 12, 1, false), 0.0f);
        QVERIFY(ComputeSpeed(-0.01f, 12, 1, false) < 0.0f);
        QCOMPARE(bits(ComputeSpeed(0.01f, 100, 1, true)), bits(360.0f));
        QCOMPARE(speedText(360.0f), QStringLiteral("360.0"));
        QCOMPARE(speedText(100.0f), QStringLiteral("100.00"));
        QCOMPARE(speedText(100.5f), QStringLiteral("100.5"));
    }

    void theResultAsShown()
    {
        DragSettings s = imperial();
        RaceReply r = reply(-60, 440, 9500, 9940, 9400, 9800);
        r[5] = 1200;
        r[6] = 1700;
        RaceResult res = computeRace(annAgainstBob(2, "7.5", "9.25"), r, s, 12);
        QCOMPARE(res.caption, QStringLiteral("Statistics - Race # 12"));
        QCOMPARE(res.classHeading, QStringLiteral("Class: Stock"));
        QCOMPARE(res.speedHeading, QStringLiteral("MPH"));
        QCOMPARE(res.sensorNames, QStringLiteral("10 ft\n20 ft\n40 ft"));
        QCOMPARE(res.timingFontSize, 40);
        const LaneDisplay& L = res.lanes[0];
        const LaneDisplay& R = res.lanes[1];
        QCOMPARE(L.reactionTime, QStringLiteral("-0.0060"));
        QCOMPARE(L.reactionTimeColour, kColourRed);
        QCOMPARE(R.reactionTimeColour, kColourLightGrey);
        QCOMPARE(L.elapsedTimeColour, kColourYellow); // 0.9560 under a dial-in of 7.500
        QCOMPARE(R.nameColour, kColourGreen);
        QCOMPARE(R.carColour, kColourGreen);
        QCOMPARE(L.nameColour, kColourLightGrey);
        QCOMPARE(L.timingPoints, QStringLiteral("0.1260\n0.0060\n0.0060"));
        QCOMPARE(L.handicap, QStringLiteral("Dial-In 7.500"));
        QCOMPARE(R.handicap, QStringLiteral("Dial-In 9.250"));
        // Only a margin above 0 is shown: 7.5 - 9.25 + 0.044 is below.
        QCOMPARE(L.winMargin, QString());
        QCOMPARE(R.winMargin, QStringLiteral("1.7060"));

        s.Metric = true;
        s.NumberOfSensors = 5;
        res = computeRace(annAgainstBob(4, "7.5", "7.5"), r, s, 1);
        QCOMPARE(res.speedHeading, QStringLiteral("KPH"));
        QCOMPARE(res.timingFontSize, 23);
        QCOMPARE(res.lanes[1].handicap, QStringLiteral("Index 7.500"));
        s.NumberOfSensors = 2;
        res = computeRace(annAgainstBob(3, "x", "y"), r, s, 1);
        QCOMPARE(res.timingFontSize, 0);
        QCOMPARE(res.lanes[0].handicap, QString());
        QCOMPARE(bits(res.left.DialIn), 0u);
        QCOMPARE(res.lanes[0].elapsedTimeColour, kColourLightGrey);
    }
};

QTEST_GUILESS_MAIN(TestRaceResult)
#include "tst_race_result.moc"
