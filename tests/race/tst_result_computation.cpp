#include "race/ResultComputation.h"
#include "race/ResultDisplay.h"

#include <QTest>

using namespace halvex;

namespace {

// A race reply from seconds: RTs, finishes (raw, from the start signal), traps, points.
struct Reply
{
    double rtLeft = 0, rtRight = 0;
    double finishLeft = 0, finishRight = 0;
    double trapLeft = 0, trapRight = 0;
    double points[6] = {0, 0, 0, 0, 0, 0};

    std::array<qint32, 19> array() const
    {
        std::array<qint32, 19> r{};
        auto u = [](double s) { return static_cast<qint32>(std::lround(s * 10000)); };
        r[3] = u(rtLeft);
        r[4] = u(rtRight);
        for (int i = 0; i < 6; ++i)
            r[5 + i] = u(points[i]);
        r[11] = u(trapLeft);
        r[12] = u(trapRight);
        r[13] = u(finishLeft);
        r[14] = u(finishRight);
        return r;
    }
};

DragSettings imperial()
{
    DragSettings s;
    s.SpeedTrapDistance = 12;
    s.SpeedMultiplier = 1;
    s.NumberOfSensors = 3;
    return s;
}

} // namespace

class TestResultComputation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void winnerDecision_data()
    {
        QTest::addColumn<int>("tree");
        QTest::addColumn<QString>("dialLeft");
        QTest::addColumn<QString>("dialRight");
        // RT left, RT right, ET left, ET right (ETs after the reaction time is taken off).
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<QString>("expected"); // winner and marks: "R", "L" or "-", then flags

        auto add = [](const char* name, int tree, const char* dl, const char* dr,
                      QList<double> times, const char* expected) {
            QTest::newRow(name) << tree << QString::fromLatin1(dl) << QString::fromLatin1(dr)
                                << times << QString::fromLatin1(expected);
        };
        add("left red, equal ETs", 0, "0", "0", {-0.010, 0.050, 9.8, 9.8}, "R red:L");
        add("both red, right later", 0, "0", "0", {-0.020, -0.005, 9.8, 9.7}, "R red:LR");
        add("both red, left later", 3, "0", "0", {-0.003, -0.020, 9.9, 9.7}, "L red:LR");
        add("both red, equal", 0, "0", "0", {-0.010, -0.010, 9.5, 9.9}, "R red:LR");
        add("only right red", 3, "0", "0", {0.100, -0.001, 9.9, 9.0}, "L red:R");
        add("red beats breakout", 2, "10", "11", {0.05, -0.01, 9.0, 11.2}, "L red:R out:L");
        add("left breaks out", 2, "10.000", "11.000", {0.05, 0.05, 9.950, 11.200}, "R out:L");
        add("both break out, right less", 2, "10", "11", {0.05, 0.05, 9.950, 10.990}, "R out:LR");
        add("both break out, left less", 2, "10", "11", {0.05, 0.05, 9.990, 10.950}, "L out:LR");
        add("both break out equally", 4, "10", "10", {0.05, 0.06, 9.950, 9.950}, "R out:LR");
        add("no handicap, left ahead", 0, "0", "0", {0.500, 0.400, 9.800, 9.950}, "L");
        add("equal totals go right", 3, "0", "0", {0.500, 0.400, 9.800, 9.900}, "R");
        add("dial-in totals, right nearer", 2, "9.5", "10", {0.1, 0.1, 9.6, 10.05}, "R");
        add("dial-in totals, left nearer", 2, "9.5", "10", {0.1, 0.1, 9.6, 10.2}, "L");
        add("index tree equal totals", 1, "9", "9", {0.1, 0.2, 9.4, 9.3}, "R");
        add("perfect reaction is no red light", 0, "0", "0", {0.0, 0.01, 9.8, 9.8}, "L");
        add("left did not finish, no handicap", 0, "0", "0", {0.05, 0.05, 0, 9.8}, "-");
        add("right did not finish, no handicap", 3, "0", "0", {0.05, 0.05, 9.8, 0}, "-");
        add("unfinished lane breaks out on a dial-in tree", 2, "9", "9", {0.05, 0.05, 0, 9.8},
            "R out:L");
        add("slower than dial-in is no breakout", 1, "9.5", "9.5", {0.05, 0.04, 9.6, 9.55}, "R");
        add("breakouts not counted without handicap", 0, "0", "0", {0.05, 0.05, 9.6, 9.55}, "R");
    }

    void winnerDecision()
    {
        QFETCH(int, tree);
        QFETCH(QString, dialLeft);
        QFETCH(QString, dialRight);
        QFETCH(QList<double>, times);
        QFETCH(QString, expected);

        Reply reply;
        reply.rtLeft = times[0];
        reply.rtRight = times[1];
        reply.finishLeft = times[2] == 0 ? 0 : times[2] + times[0];
        reply.finishRight = times[3] == 0 ? 0 : times[3] + times[1];

        RaceHistory log;
        log.RaceLogCount = 6;
        RaceSetup setup;
        setup.treeIndex = static_cast<qint16>(tree);
        setup.dialInLeft = dialLeft;
        setup.dialInRight = dialRight;
        processTimes(setup, reply.array(), imperial(), log);
        const WinnerDecision d = decideWinner(tree, log);

        QString got = d.winner == Lane::Left    ? QStringLiteral("L")
                      : d.winner == Lane::Right ? QStringLiteral("R")
                                                : QStringLiteral("-");
        auto marks = [](const char* name, bool left, bool right) {
            if (!left && !right)
                return QString();
            return QLatin1String(name) + QLatin1String(left ? "L" : "") +
                   QLatin1String(right ? "R" : "");
        };
        got += marks(" red:", d.redLightLeft, d.redLightRight);
        got += marks(" out:", d.breakoutLeft, d.breakoutRight);
        QCOMPARE(got, expected);

        const QString left = log.RaceLog[6].Result;
        const QString right = log.RaceLog[7].Result;
        if (d.winner == Lane::None) {
            QVERIFY(left.isEmpty() && right.isEmpty());
        } else {
            QCOMPARE(left, d.winner == Lane::Left ? QStringLiteral("Win") : QStringLiteral("Lost"));
            QCOMPARE(right,
                     d.winner == Lane::Left ? QStringLiteral("Lost") : QStringLiteral("Win"));
        }
        // The copies were taken before the decision and carry no result text.
        QVERIFY(log.LeftResult.Result.isEmpty());
        QVERIFY(log.RaceLog[8].Result.isEmpty());
    }

    void processTimesFillsTheRecordsOfTheRaceInProgress()
    {
        Reply reply;
        reply.rtLeft = 0.5;
        reply.rtRight = 0.4;
        reply.finishLeft = 10.3;
        reply.finishRight = 10.35;
        reply.trapLeft = 10.29;
        reply.trapRight = 10.25;
        reply.points[0] = 2.0;
        reply.points[1] = 1.9;
        reply.points[4] = 7.5;

        RaceHistory log;
        RaceSetup setup;
        setup.treeIndex = 3;
        setup.className = QStringLiteral("Stock");
        setup.racerLeft = QStringLiteral("Ann");
        setup.racerRight = QStringLiteral("Bob");
        setup.carLeft = QStringLiteral("Red");
        setup.carRight = QStringLiteral("Blue");
        setup.dialInLeft = QStringLiteral("not read on this tree");
        const TrapTimes trap = processTimes(setup, reply.array(), imperial(), log);

        const RaceRecord& L = log.RaceLog[0];
        const RaceRecord& R = log.RaceLog[1];
        QCOMPARE(log.RaceCounter, qint16(1));
        QCOMPARE(log.RaceLogCount, qint16(0));
        QCOMPARE(L.RaceNumber, qint16(1));
        QCOMPARE(R.RaceNumber, qint16(1));
        QCOMPARE(L.Lane, QStringLiteral("L"));
        QCOMPARE(R.Lane, QStringLiteral("R"));
        QCOMPARE(R.ClassName, QStringLiteral("Stock"));
        QCOMPARE(R.Car, QStringLiteral("Blue"));
        QCOMPARE(L.ReactionTime, 0.5f);
        QCOMPARE(L.TimingPoint[0], 2.0f - 0.5f);
        QCOMPARE(R.TimingPoint[0], 1.9f - 0.4f);
        QCOMPARE(L.TimingPoint[2], 7.5f - 0.5f);
        QCOMPARE(L.TimingPoint[3], 0.0f);
        QCOMPARE(trap.left, 10.29f);
        QCOMPARE(L.ElapsedTime, 10.3f - 0.5f);
        QCOMPARE(R.ElapsedTime, 10.35f - 0.4f);
        // Margins come from the raw finish times, in single precision at every step.
        QCOMPARE(L.WinMargin, 0.0f + (10.35f - 10.3f));
        QCOMPARE(R.WinMargin, 0.0f + (10.3f - 10.35f));
        QCOMPARE(winMarginText(L.WinMargin), QStringLiteral("0.0500"));
        QCOMPARE(winMarginText(R.WinMargin), QString());
        QCOMPARE(L.Speed, ComputeSpeed(10.3f - 10.29f, 12, 1, false));
        QCOMPARE(log.LeftResult, L);
        QCOMPARE(log.RightResult, R);

        // The next race goes to the next pair once this one is committed.
        log.RaceLogCount = 2;
        processTimes(setup, reply.array(), imperial(), log);
        QCOMPARE(log.RaceLog[2].RaceNumber, qint16(2));
        QCOMPARE(log.RaceLog[0].RaceNumber, qint16(1));
    }

    void aFullLogIsNeverWrittenPast()
    {
        RaceHistory log;
        log.RaceLogCount = 500;
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 processTimes(RaceSetup{}, Reply{}.array(), imperial(), log));
        QCOMPARE(log.RaceCounter, qint16(0));
        log.RaceLogCount = 498;
        processTimes(RaceSetup{}, Reply{}.array(), imperial(), log);
        QCOMPARE(log.RaceLog[499].Lane, QStringLiteral("R"));
        QVERIFY(log.RaceLog[500].Lane.isEmpty());
    }

    void trapSpeeds()
    {
        const float mph = ComputeSpeed(0.01f, 12, 1, false);
        QVERIFY(qAbs(mph - 68.1818f) < 0.001f);
        QCOMPARE(speedText(mph), QStringLiteral("68.18"));
        QCOMPARE(ComputeSpeed(0.0f, 12, 1, false), 0.0f);
        QVERIFY(ComputeSpeed(-0.01f, 12, 1, false) < 0.0f);
        const float kph = ComputeSpeed(0.01f, 100, 1, true);
        QVERIFY(qAbs(kph - 360.0f) < 0.001f);
        QCOMPARE(speedText(kph), QStringLiteral("360.0"));
        QVERIFY(qAbs(ComputeSpeed(0.01f, 12, 24, false) - 1636.36f) < 0.01f);
        QCOMPARE(speedText(100.0f), QStringLiteral("100.00"));
        QCOMPARE(speedText(100.5f), QStringLiteral("100.5"));
        QCOMPARE(timeText(-0.006f), QStringLiteral("-0.0060"));
        QCOMPARE(timeText(0.0f), QStringLiteral("0.0000"));
        QCOMPARE(dialInText(7.5f), QStringLiteral("7.500"));
    }

    void timingLabelsFollowTheSensorCount()
    {
        DragSettings s;
        s.InterSensorDistance = {QString(),
                                 QStringLiteral("10 ft"),
                                 QStringLiteral("20 ft"),
                                 QStringLiteral("40 ft"),
                                 QString(),
                                 QString()};
        RaceRecord r;
        r.TimingPoint = {1.25f, 2.5f, 4.0f, 9.0f, 9.5f};
        s.NumberOfSensors = 3;
        QCOMPARE(timingPointLines(r, shownSensors(s)), QStringLiteral("1.2500\n2.5000\n4.0000"));
        QCOMPARE(sensorNameLines(s, shownSensors(s)), QStringLiteral("10 ft\n20 ft\n40 ft"));
        QCOMPARE(timingFontSize(3), 40);
        QCOMPARE(timingFontSize(4), 30);
        QCOMPARE(timingFontSize(5), 23);
        QCOMPARE(timingFontSize(2), 0);
        s.NumberOfSensors = 9;
        QCOMPARE(shownSensors(s), 5);
        s.NumberOfSensors = -2;
        QCOMPARE(shownSensors(s), 0);
        QCOMPARE(timingPointLines(r, 0), QString());
    }
};

QTEST_GUILESS_MAIN(TestResultComputation)
#include "tst_result_computation.moc"
