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

namespace {

// Left starts before the green (RT -0.0100, ET 1.0600); right runs 1.0400 on a dial-in of 1.100:
// a red light, a breakout, and the right lane wins.
const QByteArray kRedAndBreakout = "0\n0\n-100\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n"
                                   "10700\n10500\n10800\n0\n0\n0\n0\n!\n";

WindowStateRecord dialInSetup()
{
    WindowStateRecord s = WindowRig::proTreeSetup();
    s.TreeIndex = 2;
    s.DialInLeft = 1.0f;
    s.DialInRight = 1.1f;
    return s;
}

frmScoreboard* openBoard(frmDragRacing& w, HalvexApp& app)
{
    w.mnuViewScoreboard->trigger();
    return app.scoreboardWindow();
}

} // namespace

class TestScoreboardWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theBoardShowsWhatTheStatisticsWindowShows()
    {
        WindowRig rig;
        rig.memoryPort.answers.insert("N\n", kRedAndBreakout);
        frmDragRacing& w = rig.startWith(dialInSetup());
        w.show();
        frmScoreboard* board = openBoard(w, *rig.app);
        QVERIFY(board);
        QVERIFY(board->isVisible());
        // Reopened, the board is raised, not doubled.
        QCOMPARE(openBoard(w, *rig.app), board);
        QCOMPARE(w.findChildren<frmScoreboard*>().size(), 1);
        // The pairing follows each change the operator makes to it.
        w.cmbRacers[1]->setEditText(QStringLiteral("alice Hart"));
        QCOMPARE(board->lblNameRight->text(), QStringLiteral("alice Hart"));
        w.cmbRacers[1]->setEditText(QStringLiteral("Carla"));

        pressStartRace(w);
        frmDragStats* stats = rig.stats();
        QVERIFY(stats);
        QCOMPARE(rig.memoryPort.written(), QByteArray("O\nGL21\nGR21\nA\n1000\n0\nN\nGR81\n"));
        QCOMPARE(rig.prompter.texts(), QStringList());
        for (const char* name :
             {"lblDragRacingClass", "lblNameLeft", "lblNameRight", "lblCarLeft", "lblCarRight",
              "lblLeftRT", "lblRightRT", "lblLeftET", "lblRightET", "lblLeftMPH", "lblRightMPH",
              "lblLeftWM", "lblRightWM", "lblMPH", "lblLeftDialin", "lblRightDialin"}) {
            const auto* shown = stats->findChild<QLabel*>(QLatin1String(name));
            const auto* boarded = board->findChild<QLabel*>(QLatin1String(name));
            QVERIFY2(shown && boarded, name);
            QCOMPARE(boarded->text(), shown->text());
        }
        for (const char* name : {"lblNameLeft", "lblNameRight", "lblCarLeft", "lblCarRight",
                                 "lblLeftRT", "lblRightRT", "lblLeftET", "lblRightET"}) {
            QCOMPARE(backColour(board->findChild<QLabel*>(QLatin1String(name))),
                     backColour(stats->findChild<QLabel*>(QLatin1String(name))));
        }
        // The race marks all three colours, so equal colours are no accident of light grey.
        QCOMPARE(backColour(board->lblLeftRT), kColourRed);
        QCOMPARE(backColour(board->lblRightET), kColourYellow);
        QCOMPARE(backColour(board->lblNameRight), kColourGreen);
        QCOMPARE(board->lblRaceTitle->text(), QStringLiteral("Race # 1"));
        QCOMPARE(board->lblLastRaces[0][0]->text(), QStringLiteral("Bob Diaz   1.0600"));
        QCOMPARE(board->lblLastRaces[0][1]->text(), QStringLiteral("Race # 1"));

        // The board stays up for the next race, and closing it touches nothing of that race:
        // still on screen, not committed, nothing sent, nothing said.
        stats->cmdOk->click();
        pressStartRace(w);
        stats = rig.stats();
        QVERIFY(stats);
        QCOMPARE(rig.app->scoreboardWindow(), board);
        QCOMPARE(board->lblRaceTitle->text(), QStringLiteral("Race # 2"));
        const QByteArray written = rig.memoryPort.written();
        board->close();
        QTRY_VERIFY(!rig.app->scoreboardWindow());
        QCOMPARE(rig.stats(), stats);
        QVERIFY(stats->isVisible());
        QVERIFY(!w.cmdRace->isEnabled());
        QCOMPARE(rig.log().count(), 2);
        QCOMPARE(rig.memoryPort.written(), written);
        QCOMPARE(rig.prompter.texts(), QStringList());

        // A race runs as well with the board closed, and a board opened afterwards knows it.
        stats->cmdOk->click();
        pressStartRace(w);
        QVERIFY(rig.stats());
        rig.stats()->cmdOk->click();
        QCOMPARE(rig.log().count(), 6);
        board = openBoard(w, *rig.app);
        QCOMPARE(board->lblRaceTitle->text(), QStringLiteral("Race # 3"));
        QCOMPARE(board->lblLastRaces[1][1]->text(), QStringLiteral("Race # 2"));
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void theTypeFollowsTheSizeAndF11SwitchesFullScreen()
    {
        WindowRig rig;
        frmDragRacing& w = rig.startWith(dialInSetup());
        frmScoreboard* board = openBoard(w, *rig.app);
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
