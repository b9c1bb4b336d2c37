#include "link/DiagLamps.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestDiagLamps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One reply a row of diag-lamp-rows.tsv.
    void eachBitLightsItsLamp_data() { addTableRows(QFINDTESTDATA("diag-lamp-rows.tsv"), 5); }

    void eachBitLightsItsLamp()
    {
        QFETCH(QStringList, row);
        const int n = row[1].toInt();
        const int mask1 = row[2].toInt();
        const int mask2 = row[3].toInt();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(n).arg(mask1).arg(mask2), row.mid(1, 3).join(u' '));
        DragSettings s;
        s.NumberOfSensors = qint16(n);
        const auto states = diagLampStates(diagRows(s), DiagReply{0, mask1, mask2});
        QStringList shown{QStringLiteral("malformed")};
        if (states)
            shown.clear();
        for (qsizetype r = 0; states && r < states->left.size(); ++r)
            shown.append(QString(states->left[r] ? u'G' : u'R') + (states->right[r] ? u'G' : u'R'));
        QCOMPARE(shown.join(u' '), row[4]);
    }
};

QTEST_GUILESS_MAIN(TestDiagLamps)
#include "tst_diag_lamps.moc"
