#include "data/DragSettings.h"
#include "race/RaceResult.h"
#include "race/Scoreboard.h"
#include "reports/BoardLadder.h"
#include "reports/PrintGrid.h"
#include "reports/QtPrintSurface.h"
#include "reports/TimeSlip.h"
#include "reports/frmGridData.h"
#include "reports/frmScoreboard.h"
#include "support/Brackets.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace halvex;
using namespace halvex::test;
using P = PrintItem;

namespace {

// Race 7 of Ann (Red) against Bob (Blue) in Stock, with every field of the slip filled.
RaceResult slipRace(int tree, float leftMargin, float rightMargin,
                    const QString& racerLeft = QStringLiteral("Ann"))
{
    RaceResult r;
    r.setup = {{},   static_cast<qint16>(tree), "Stock", racerLeft, "Bob", "Red", "Blue", {}, {},
               false};
    r.left = {{},     {},   {},   {},         7,    {}, {}, 0.05f, {0.2f, 0.45f, 0.7f},
              120.0f, 7.5f, 1.0f, leftMargin, "Win"};
    r.right = {{},       {},   {},    {},          7,     {}, {}, -0.04f, {0.25f, 0.5f, 0.75f},
               115.375f, 7.6f, 1.04f, rightMargin, "Lost"};
    return r;
}

// The test strip; the large layout in miles, the small one metric.
DragSettings slipSettings(bool large, int sensors)
{
    DragSettings s = testStrip();
    s.NumberOfSensors = static_cast<qint16>(sensors);
    s.LargeFont = large;
    s.Metric = !large;
    return s;
}

// The PDF's text lines as pdftotext lays them out, blanks squeezed, blank lines left out.
QStringList pdfLines(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList lines;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (!line.simplified().isEmpty())
            lines.append(line.simplified());
    return lines;
}

QStringList slipText(const QString& racer, bool large)
{
    return QStringLiteral("%1|Race # 7|Test Strip|Track Length = 66 ft|Class: Stock|Full Tree with "
                          "Dial-In|Win Lost|%2 Bob|Red Blue|0.0500 R/T -0.0400|0.2000 10 ft 0.2500|"
                          "1.0000 ET 1.0400|120.00 %3 115.38|0.0300 WM|7.500 Dial-in 7.600|12/5/26 "
                          "10:04:49 PM")
        .arg(programTitleText(), racer, large ? "MPH" : "KPH")
        .split(u'|');
}

// The texts shown; one too small or cut off (also by the board's edge) is named instead.
QStringList shown(const QWidget& board)
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

} // namespace

// The reports where real paper or a real window shows them: the time slip, the race data window
// and the board.
class TestReportWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesOfItems()
    {
        const QList<std::pair<QList<PrintLine>, QStringList>> rows = {
            // A position on the column stays on the line: only one strictly beyond it wraps.
            {{{P::tab(5), P::string("abcd"), P::tab(9), P::string("x")}}, {"[5]abcd[9]x"}},
            {{{P::integer(5), P::integer(-5), P::integer(0)}}, {"[1] 5 [4]-5 [7] 0 "}},
            // The first list continues: the next goes on behind it.
            {{{P::string("ab")}, {P::string("cd")}}, {"[1]ab[3]cd"}},
        };
        for (const auto& [lists, lines] : rows) {
            RecordingSurface s;
            for (int i = 0; i < lists.size(); ++i)
                s.print(lists[i], i == 0 ? LineEnd::Continues : LineEnd::Ends);
            s.endDocument();
            QCOMPARE(s.jobs.value(0).lines, lines);
        }
    }

    // One slip a row of slip-layouts.tsv.
    void layouts_data() { addTableRows(QFINDTESTDATA("slip-layouts.tsv"), 6); }
    void layouts()
    {
        QFETCH(QStringList, row);
        const bool large = row[1] == u"true";
        bool ok[3] = {};
        const int sensors = row[2].toInt(&ok[0]);
        const int tree = row[3].toInt(&ok[1]);
        const float leftMargin = row[4].toFloat(&ok[2]);
        QVERIFY(ok[0] && ok[1] && ok[2] && (large || row[1] == u"false"));
        const QString tail = row[5];
        RecordingSurface s;
        ScriptedPrompter prompter;
        QVERIFY(PrintTimeSlip(s, prompter, slipRace(tree, leftMargin, -0.03f),
                              slipSettings(large, sensors), "T", "D"));
        const QStringList lines = tail.split(u'|');
        QCOMPARE(s.jobs[0].lines.mid(s.jobs[0].lines.size() - lines.size()), lines);
        QCOMPARE(s.jobs[0].greyScale, !large);
    }

    // A pass of an event round ends its slip with the event, the round and the opponent.
    void anEventPassNamesItsRound()
    {
        RaceResult race = slipRace(0, 0.03f, -0.03f);
        race.pairing = EventPairing{
            "Club Night",   "Stock", EventPairing::Stage::Eliminations, 2, 0, "Final", {3, 4},
            {"Ann", "Bob"}, false};
        RecordingSurface s;
        printSlipCopy(s, race, slipSettings(false, 1), "T", "D");
        race.pairing->entries[1] = 0;
        race.pairing->racers[1].clear();
        printSlipCopy(s, race, slipSettings(false, 1), "T", "D");
        QCOMPARE(s.jobs[0].lines.mid(s.jobs[0].lines.size() - 4),
                 (QStringList{"[10]D", "[8]Event: [15]Club Night",
                              "[8]Round: [15]Final[20]  Pair [27] 1 ", "[8]Ann vs Bob"}));
        QCOMPARE(s.jobs[1].lines.last(), QStringLiteral("[8]Ann: solo"));
    }

    void copiesFontsAndFailure()
    {
        RecordingSurface s;
        ScriptedPrompter prompter;
        DragSettings set = slipSettings(true, 1);
        set.CopiesIndex = 2;
        // Before the about window has been opened the title line is empty.
        QVERIFY(PrintTimeSlip(s, prompter, slipRace(0, 0.03f, -0.03f), set, QString(), "D"));
        QCOMPARE(s.jobs.size(), 3);
        QCOMPARE(s.jobs[0].lines.first(), QString());
        QCOMPARE(s.jobs[0].lines.size(), 18); // three blank lines after an ending margin line
        QCOMPARE(s.jobs[2].lines, s.jobs[0].lines);
        QCOMPARE(s.jobs[2].lineSizes.value(1), QStringLiteral("20"));
        QCOMPARE(s.jobs[2].lineSizes.last(), QStringLiteral("10"));

        s.failure = QStringLiteral("Printer off line");
        QVERIFY(!PrintTimeSlip(s, prompter, slipRace(0, 0.03f, -0.03f), set, "T", "D"));
        QCOMPARE(s.jobs.size(), 3);
        QCOMPARE(prompter.texts(), QStringList{"Printer off line"});
    }
    void slipsReadBackFromPdf()
    {
        const bool queue = !QPrinterInfo::defaultPrinter().isNull();
        const QDir queueDir(QDir::home().filePath(QStringLiteral("PDF")));
        for (bool large : {true, false}) {
            QTemporaryDir dir;
            PdfFileSurface pdf(dir.filePath(QStringLiteral("slip.pdf")));
            DefaultPrinterSurface printer;
            const QString racer =
                QStringLiteral("Racer%1").arg(QDateTime::currentMSecsSinceEpoch());
            const QStringList before = queueDir.entryList({QStringLiteral("*.pdf")});
            ScriptedPrompter prompter;
            for (PrintSurface* s : QList<PrintSurface*>{&pdf, &printer})
                if (s == &pdf || queue)
                    QVERIFY(PrintTimeSlip(*s, prompter, slipRace(2, 0.03f, -0.03f, racer),
                                          slipSettings(large, 1), programTitleText(),
                                          "12/5/26 10:04:49 PM"));
            QCOMPARE(prompter.texts(), QStringList());
            QCOMPARE(pdfLines(pdf.jobFile(1)), slipText(racer, large));
            if (!queue)
                continue;
            // The queue's PDF printer writes its file while the job runs: wait for it whole.
            auto queued = [&] {
                for (const QString& file : queueDir.entryList({QStringLiteral("*.pdf")}))
                    if (!before.contains(file))
                        return pdfLines(queueDir.filePath(file));
                return QStringList();
            };
            QTRY_COMPARE_WITH_TIMEOUT(queued(), slipText(racer, large), 60000);
        }
        if (!queue)
            QSKIP("No default printer, so no slip through a print queue: run "
                  "scripts/cups-pdf-queue.sh as root to set up a PDF queue");
    }

    // The race data window's sorts, qualifiers, saved bytes, printed grid, a column dragged and
    // Clear Data are a scenario; the save dialog's offer and the grid on paper are told here.
    void afterRealRaces()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        RaceSession& session = rig.app->session();
        for (int race = 0; race < 2; ++race) {
            session.start();
            session.endDelay();
            session.commit();
        }
        frmGridData w(rig.app->services(), rig.app->settings(), rig.log());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // Save offers the worksheet first and chosen, then the workbook and the comma-separated
        // values; a name without a suffix gets the chosen type's.
        const QString out = rig.dir.filePath(QStringLiteral("out"));
        rig.prompter.fileNames.enqueue(out);
        w.mnuSave->trigger();
        QCOMPARE(rig.prompter.saveDialogs[0].filter,
                 QStringLiteral("Excel Files (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)"));
        QCOMPARE(rig.prompter.saveDialogs[0].selectedFilter, QStringLiteral("Excel Files (*.xls)"));
        QVERIFY(QFileInfo::exists(out + QStringLiteral(".xls")));

        // On paper, texts read back whole: a ligature keeps its letters.
        w.gridL.setText(1, 1, QStringLiteral("Yellow Jacket"));
        w.gridL.setText(2, 1, QStringLiteral("Modified"));
        w.gridL.setColWidth(1, 2400);
        PdfFileSurface pdf(rig.dir.filePath(QStringLiteral("grid.pdf")));
        clsPrintGrid print;
        print.Destination(&pdf, QPointF(15, 15));
        print.Source(&w.gridL);
        print.PrintGrid();
        const QString printed = pdfLines(pdf.jobFile(1)).join(u'\n');
        QVERIFY2(printed.contains(QStringLiteral("Yellow Jacket")) &&
                     printed.contains(QStringLiteral("Modified")),
                 qPrintable(printed));

        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    // Every "Menu, Item" the operator's help names is a menu item of the main window or of the
    // race data window.
    void theHelpNamesMenuItemsThatExist()
    {
        WindowRig rig;
        frmDragRacing& main = rig.start();
        frmGridData data(rig.app->services(), rig.app->settings(), rig.log());
        QStringList items;
        for (const QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&data)})
            for (const QMenu* menu : window->findChildren<QMenu*>())
                for (const QAction* item : menu->actions())
                    items << QString(menu->title() + QStringLiteral(", ") + item->text())
                                 .remove(u'&');
        QFile help(QStringLiteral(":/help/Halvex.html"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        static const QRegularExpression path(QStringLiteral("<b>(\\w+, [^<]+)</b>"));
        int named = 0;
        for (const auto& m : path.globalMatch(QString::fromUtf8(help.readAll()))) {
            QVERIFY2(items.contains(m.captured(1)), qPrintable(m.captured(1)));
            ++named;
        }
        QVERIFY(named >= 10);
    }

    // The board at 1920 x 1080 with the longest of everything: every text shown at least a
    // twentieth of the height and whole in its label, long names shortened, the times beside them
    // never (the ladder's lines and the last races share that rule).
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
        BracketSheet sheet = ladderOf(16, 3);
        sheet.rounds[0].pairs[2].seats[0].racer = sheet.rounds[1].pairs[1].seats[0].racer = name;
        board.showLadder(sheet);
        QCOMPARE(shown(*w.ladder), QStringList({"E1", "Maxim…  7.512", "Racer 6  7.512", "Racer 7",
                                                "Racer 8", "E2", "Maximilian Fe…", "E3", "Final"}));
        const QLabel* winner = w.ladder->findChild<QLabel*>(QStringLiteral("lblLadder1"));
        QCOMPARE(winner->palette().color(QPalette::WindowText), QColor(Qt::green));
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_report_windows.moc"
