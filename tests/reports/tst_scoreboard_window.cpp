#include "race/Scoreboard.h"
#include "reports/BoardLadder.h"
#include "reports/frmScoreboard.h"
#include "support/Brackets.h"

#include <QLabel>
#include <QTest>

using namespace halvex;

// The board at 1920 x 1080 with the longest of everything: every text shown at least a twentieth
// of the height and whole in its label, long names shortened, the times beside them never (the
// ladder's lines and the last races share that rule).
class TestScoreboardWindow : public QObject
{
    Q_OBJECT

    // The texts shown; one too small or cut off (also by the board's edge) is named instead.
    static QStringList shown(const QWidget& board)
    {
        QStringList texts;
        for (const QLabel* label : board.findChildren<QLabel*>()) {
            const QFontMetrics metrics = label->fontMetrics();
            const QRect room = label->contentsRect();
            const bool inside = label->mapTo(&board, room.bottomLeft()).y() < board.height();
            if (label->isVisibleTo(&board) && !label->text().isEmpty())
                texts << (label->font().pixelSize() >= 54 && metrics.height() <= room.height() &&
                                  metrics.horizontalAdvance(label->text()) <= room.width() && inside
                              ? label->text()
                              : QStringLiteral("unreadable: ") + label->objectName());
        }
        return texts;
    }

private Q_SLOTS:
    void everyTextReadsAtTenMetres()
    {
        const QString name = QStringLiteral("Maximilian Featherstonehaugh-Worthington");
        Scoreboard board;
        RaceResult result;
        result.classHeading = QStringLiteral("Class: Pro Stock Eliminator");
        result.speedHeading = QStringLiteral("MPH");
        result.decision = {true, false, false, false, Lane::Right};
        for (LaneDisplay& lane : result.lanes)
            lane = {name, name,           "-0.0100", "10.0600", "0.0700", "168.18",
                    {},   "Index 10.500", 0xe0e0e0,  0xe0e0e0,  0xff,     0xe0e0e0};
        for (result.left.RaceNumber = 1; result.left.RaceNumber <= 5; ++result.left.RaceNumber)
            board.showResult(result);
        board.setOnDeck(QStringLiteral("Pro Stock E2: ") + name + QStringLiteral(" vs Bob Cole"));
        frmScoreboard w(board);
        w.resize(1920, 1080);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(shown(w).filter(QStringLiteral("unreadable")), QStringList());
        QCOMPARE(shown(w).size(), 38); // every label of the board
        QCOMPARE(w.lblNameLeft->text(), QStringLiteral("Maximilian Feather…"));
        QCOMPARE(w.lblCarRight->text(), QStringLiteral("Maximilian Feathersto…"));
        QCOMPARE(w.lblOnDeck->text(),
                 QStringLiteral("On deck: Pro Stock E2: Maxim…augh-Worthington vs Bob Cole"));

        // Sixteen racers, the first three pairs run: the fourth runs beside the third, and the
        // rounds it leads to follow; the winner in green.
        BracketSheet sheet = test::ladderOf(16, 3);
        sheet.rounds[0].pairs[2].seats[0].racer = sheet.rounds[1].pairs[1].seats[0].racer = name;
        board.showLadder(sheet);
        QCOMPARE(shown(*w.ladder), QStringList({"E1", "Maxim…  7.512", "Racer 6  7.512", "Racer 7",
                                                "Racer 8", "E2", "Maximilian Fe…", "E3", "Final"}));
        const QLabel* winner = w.ladder->findChild<QLabel*>(QStringLiteral("lblLadder1"));
        QCOMPARE(winner->palette().color(QPalette::WindowText), QColor(Qt::green));
    }
};

QTEST_MAIN(TestScoreboardWindow)
#include "tst_scoreboard_window.moc"
