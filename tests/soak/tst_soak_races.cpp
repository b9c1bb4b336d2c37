#include "support/FaultFolder.h"
#include "PtyPeer.h"
#include "reports/frmGridData.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

namespace {

// Race n's report: every time moves on by n ten-thousandths, the finish by 2n, so each race
// leaves its own numbers in the log.
QList<qint32> report(int n)
{
    return {0,        0,        500 + n,  400 + n,   2500 + n,  2400 + n,      4500 + n,
            4600 + n, 8000 + n, 8200 + n, 10400 + n, 10700 + n, 10500 + 2 * n, 10800 + 2 * n,
            0,        0,        0,        0};
}

QString fourDecimals(int tenThousandths)
{
    return QString::asprintf("%d.%04d", tenThousandths / 10000, tenThousandths % 10000);
}

} // namespace

class TestSoakRaces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A whole day's log through the real windows against the simulator on a serial line.
    void twoHundredFiftyRacesInARow()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        sim::PtyPeer peer(rig.folder(), 1);
        QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
        frmDragRacing& w = rig.start();
        w.show();
        QVERIFY(peer.waitForCommands(3, 3000));
        rig.prompter.clear();

        qint64 memoryAfterTen = 0;
        for (int n = 1; n <= 250; ++n) {
            peer.setRaceReply(report(n));
            // Each start delay is ended by a click on "Get Ready", as an operator may.
            pressStartRace(w);
            frmDragStats* stats = rig.stats();
            QVERIFY2(
                stats,
                qPrintable(
                    QStringLiteral("race %1: %2").arg(n).arg(rig.prompter.texts().join(u'|'))));
            stats->cmdOk->click();
            QTRY_VERIFY(!rig.stats());
            if (n == 10)
                memoryAfterTen = residentKb();
        }
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.log().count(), 500);
        const qint64 memoryAfter250 = residentKb();
        if (kMemoryIsMeasurable)
            QVERIFY2(memoryAfter250 - memoryAfterTen < 10 * 1024,
                     qPrintable(QStringLiteral("%1 kB after 10 races, %2 kB after 250")
                                    .arg(memoryAfterTen)
                                    .arg(memoryAfter250)));

        // The 251st is refused before anything reaches the unit.
        QTest::qWait(200);
        peer.clear();
        w.cmdRace->click();
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.prompter.messages[0].text.contains(QStringLiteral("250 races")));
        QVERIFY(!rig.stats());
        QTest::qWait(50);
        QCOMPARE(peer.received(), QByteArray());

        // Every race is in the race data window with the numbers the unit sent.
        QStringList problems;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* data = qobject_cast<frmGridData*>(QApplication::activeModalWidget());
            if (!data)
                return;
            seen = true;
            const GridModel& g = data->gridL;
            if (g.rows() != 501)
                problems.append(QStringLiteral("%1 rows").arg(g.rows()));
            for (int row = 1; row < g.rows() && problems.size() < 5; ++row) {
                const int n = (row + 1) / 2;
                const bool left = row % 2 == 1;
                const QStringList expected = {
                    QString::number(n), left ? QStringLiteral("L") : QStringLiteral("R"),
                    fourDecimals(left ? 500 + n : 400 + n),
                    fourDecimals(left ? 10000 + n : 10400 + n),
                    left ? QStringLiteral("Win") : QStringLiteral("Lost")};
                const QStringList shown = {g.text(row, 1), g.text(row, 3), g.text(row, 6),
                                           g.text(row, 10), g.text(row, 14)};
                if (shown != expected)
                    problems.append(shown.join(u' ') + QStringLiteral(" instead of ") +
                                    expected.join(u' '));
            }
            data->close();
        });
        w.mnuLoggedRaces->trigger();
        QVERIFY(seen);
        QCOMPARE(problems, QStringList());
    }
};

QTEST_MAIN(TestSoakRaces)
#include "tst_soak_races.moc"
