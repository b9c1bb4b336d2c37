#include "link/DiagLamps.h"

#include <QTest>

using namespace halvex;

class TestDiagLamps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachBitLightsItsLamp_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("mask1");
        QTest::addColumn<int>("mask2");
        QTest::addColumn<QString>("shown");
        // Rows: finish, trap, intermediates farthest first, stage, pre-stage; G green, R red,
        // left lamp first.
        QTest::newRow("N=3, every sensor")
            << 3 << (1 | 32 | 4) << (128 | 16 | 8) << "RG GR GR RG RR RG GR";
        QTest::newRow("N=3, all clear") << 3 << 0 << 0 << "RR RR RR RR RR RR RR";
        QTest::newRow("N=3, sensor 1 right") << 3 << 128 << 0 << "RR RR RR RR RG RR RR";
        QTest::newRow("N=2, unused bits") << 2 << (64 | 3) << (4 | 3) << "RR RR GR GR RR RR";
        // A hand-edited sensor count is held to 1 to 3, so no row runs past the lamps.
        QTest::newRow("N=0 as 1") << 0 << 64 << 0 << "RR RR GR RR RR";
        QTest::newRow("N=9 as 3") << 9 << 1 << 0 << "RR RR GR RR RR RR RR";
        QTest::newRow("mask above a byte") << 1 << 256 << 0 << "malformed";
        QTest::newRow("negative mask") << 1 << 0 << -1 << "malformed";
    }

    void eachBitLightsItsLamp()
    {
        QFETCH(int, n);
        QFETCH(int, mask1);
        QFETCH(int, mask2);
        DragSettings s;
        s.NumberOfSensors = qint16(n);
        const auto states = diagLampStates(diagRows(s), DiagReply{0, mask1, mask2});
        QStringList shown{QStringLiteral("malformed")};
        if (states)
            shown.clear();
        for (qsizetype r = 0; states && r < states->left.size(); ++r)
            shown.append(QString(states->left[r] ? u'G' : u'R') + (states->right[r] ? u'G' : u'R'));
        QTEST(shown.join(u' '), "shown");
    }
};

QTEST_GUILESS_MAIN(TestDiagLamps)
#include "tst_diag_lamps.moc"
