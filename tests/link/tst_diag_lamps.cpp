#include "link/DiagLamps.h"

#include <QTest>

using namespace halvex;

namespace {

// Lamps as the window shows them, row by row from the finish line: G green, R red.
QString lamps(int n, qint32 mask1, qint32 mask2)
{
    DragSettings s;
    s.NumberOfSensors = qint16(n);
    const auto states = diagLampStates(diagRows(s), DiagReply{0, mask1, mask2});
    if (!states)
        return QStringLiteral("malformed");
    QString shown;
    for (int r = 0; r < states->left.size(); ++r)
        shown += QString(states->left[r] ? u'G' : u'R') + (states->right[r] ? u'G' : u'R') + u' ';
    return shown.trimmed();
}

} // namespace

class TestDiagLamps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsRunFromTheFinishToPreStage()
    {
        DragSettings s;
        s.InterSensorDistance[1] = QStringLiteral("10 ft");
        s.InterSensorDistance[2] = QStringLiteral("20 ft");
        s.InterSensorDistance[3] = QStringLiteral("40 ft");
        const QStringList fixed{QStringLiteral("Finish Line"), QStringLiteral("SpeedTrap")};
        const QStringList staging{QStringLiteral("StageStart"), QStringLiteral("PreStage")};
        for (const auto& [n, names] :
             {std::pair{1, QStringList{QStringLiteral("10 ft")}},
              std::pair{2, QStringList{QStringLiteral("20 ft"), QStringLiteral("10 ft")}},
              std::pair{3, QStringList{QStringLiteral("40 ft"), QStringLiteral("20 ft"),
                                       QStringLiteral("10 ft")}},
              // A hand-edited file: held to 1 to 3, so no row runs past the window's lamps.
              std::pair{0, QStringList{QStringLiteral("10 ft")}},
              std::pair{9, QStringList{QStringLiteral("40 ft"), QStringLiteral("20 ft"),
                                       QStringLiteral("10 ft")}}}) {
            s.NumberOfSensors = qint16(n);
            QStringList shown;
            for (const DiagRow& r : diagRows(s))
                shown.append(r.name);
            QCOMPARE(shown, fixed + names + staging);
        }
        QCOMPARE(diagHeightTwips(diagSensorCount(3)), 6900);
    }

    void eachBitLightsItsLamp_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("mask1");
        QTest::addColumn<int>("mask2");
        QTest::addColumn<QString>("shown");
        // Rows: finish, trap, intermediates farthest first, stage, pre-stage; left lamp first.
        QTest::newRow("all blocked, N=1") << 1 << 255 << 255 << "GG GG GG GG GG";
        QTest::newRow("all clear, N=3") << 3 << 0 << 0 << "RR RR RR RR RR RR RR";
        QTest::newRow("sensor 1 left") << 1 << 64 << 0 << "RR RR GR RR RR";
        QTest::newRow("sensor 1 left, N=3") << 3 << 64 << 0 << "RR RR RR RR GR RR RR";
        QTest::newRow("unused bits, N=1") << 1 << 3 << 15 << "RR RR RR RR RR";
        QTest::newRow("sensor 2 left, N=2") << 2 << 0 << 4 << "RR RR GR RR RR RR";
        QTest::newRow("sensor 2 right, N=2") << 2 << 0 << 8 << "RR RR RG RR RR RR";
        QTest::newRow("sensor 3, N=3") << 3 << 1 << 8 << "RR RR GR RG RR RR RR";
        QTest::newRow("finish and trap") << 2 << 0 << (128 | 16) << "RG GR RR RR RR RR";
        QTest::newRow("stage and pre-stage") << 2 << (32 | 4) << 3 << "RR RR RR RR RG GR";
        QTest::newRow("mask above a byte") << 1 << 256 << 0 << "malformed";
        QTest::newRow("negative mask") << 1 << 0 << -1 << "malformed";
    }

    void eachBitLightsItsLamp()
    {
        QFETCH(int, n);
        QFETCH(int, mask1);
        QFETCH(int, mask2);
        QFETCH(QString, shown);
        QCOMPARE(lamps(n, mask1, mask2), shown);
    }
};

QTEST_GUILESS_MAIN(TestDiagLamps)
#include "tst_diag_lamps.moc"
