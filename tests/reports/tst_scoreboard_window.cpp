#include "reports/frmScoreboard.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cmath>

using namespace halvex;
using namespace halvex::test;

class TestScoreboardWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The board's own rule: its type follows its size. What it shows is a scenario.
    void theTypeFollowsTheSizeAndF11SwitchesFullScreen()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        w.mnuViewScoreboard->trigger();
        frmScoreboard* board = rig.app->scoreboardWindow();
        QVERIFY(board);
        board->resize(1000, 700);
        QCOMPARE(board->lblLeftRT->font().pixelSize(), 70);
        QCOMPARE(board->lblRightWM->font().pixelSize(), 70);
        // At least a tenth of the height: rounded up, never down.
        board->resize(800, 451);
        QCOMPARE(board->lblLeftET->font().pixelSize(), 46);
        // A name too long for its lane is set smaller, never cut.
        w.cmbRacers[0]->setEditText(QString(60, u'W'));
        QVERIFY(board->lblNameLeft->fontMetrics().horizontalAdvance(board->lblNameLeft->text()) <=
                board->lblNameLeft->width());
        QVERIFY(board->lblNameLeft->font().pixelSize() < qRound(451 * 0.07));

        // F11 fills the screen and back; the type follows.
        const QRect normal = board->geometry();
        QVERIFY(!board->isFullScreen());
        QTest::keyClick(board, Qt::Key_F11);
        QVERIFY(board->isFullScreen());
        QCOMPARE(board->geometry(), board->screen()->geometry());
        QCOMPARE(board->lblLeftRT->font().pixelSize(),
                 int(std::ceil(board->screen()->geometry().height() / 10.0)));
        QTest::keyClick(board, Qt::Key_F11);
        QVERIFY(!board->isFullScreen());
        QCOMPARE(board->geometry(), normal);
    }
};

QTEST_MAIN(TestScoreboardWindow)
#include "tst_scoreboard_window.moc"
