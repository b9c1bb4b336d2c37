#include "reports/CsvExport.h"
#include "reports/ExcelFileV2.h"
#include "reports/PrintGrid.h"
#include "reports/QtPrintSurface.h"
#include "reports/frmGridData.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

QPoint cellCentre(QTableView* view, int row, int col)
{
    return view->visualRect(view->model()->index(row, col)).center();
}

QStringList column(const GridModel& g, int c)
{
    QStringList texts;
    for (int r = 0; r < g.rows(); ++r)
        texts.append(g.text(r, c));
    return texts;
}

} // namespace

class TestGridWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void afterRealRaces()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        RaceSession& session = rig.app->session();
        for (int race = 0; race < 3; ++race) {
            session.start();
            session.endDelay();
            // A third race is on screen, not yet committed.
            if (race < 2)
                session.commit();
        }

        frmGridData w(rig.app->services(), rig.app->settings(), rig.log());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Race Data - Logged Races"));
        QCOMPARE(column(w.gridL, 0), (QStringList{"ID", "0", "1", "2", "3"}));
        QCOMPARE(w.gridL.cols(), 15);

        // Double clicks on a title sort ascending, then descending.
        QTest::mouseDClick(w.GridL->viewport(), Qt::LeftButton, {}, cellCentre(w.GridL, 0, 3));
        QCOMPARE(column(w.gridL, 3), (QStringList{"Lane", "L", "L", "R", "R"}));
        QTest::mouseDClick(w.GridL->viewport(), Qt::LeftButton, {}, cellCentre(w.GridL, 0, 3));
        QCOMPARE(column(w.gridL, 3), (QStringList{"Lane", "R", "R", "L", "L"}));

        // Top qualifiers and back.
        w.cmdTopQual->click();
        QCOMPARE(w.windowTitle(), QStringLiteral("Race Data - Qualifiers"));
        QVERIFY(w.GridL->isHidden());
        QCOMPARE(w.gridQ.rows(), 3); // Bob Diaz and Carla once each, in Stock
        w.cmdTopQual->click();
        QCOMPARE(column(w.gridL, 0), (QStringList{"ID", "0", "1", "2", "3"}));
        // A title dragged onto another column moves its column there.
        QTest::mousePress(w.GridL->viewport(), Qt::LeftButton, {}, cellCentre(w.GridL, 0, 4));
        QTest::mouseRelease(w.GridL->viewport(), Qt::LeftButton, {}, cellCentre(w.GridL, 0, 1));
        QCOMPARE(w.gridL.text(0, 1), QStringLiteral("Driver"));
        QCOMPARE(w.gridL.text(0, 2), QStringLiteral("Race#"));

        // Save offers the worksheet first and chosen, then the workbook and the comma-separated
        // values; a name without a suffix gets the chosen type's; a cancelled dialog writes
        // nothing.
        const QString out = rig.dir.filePath(QStringLiteral("out"));
        rig.prompter.fileNames.enqueue(out);
        w.mnuSave->trigger();
        QCOMPARE(rig.prompter.saveDialogs[0].filter,
                 QStringLiteral("Excel Files (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)"));
        QCOMPARE(rig.prompter.saveDialogs[0].selectedFilter, QStringLiteral("Excel Files (*.xls)"));
        QCOMPARE(fileBytes(out + QStringLiteral(".xls")), FG_SaveAsExcel(w.gridL));
        rig.prompter.fileNames.enqueue(out);
        rig.prompter.fileTypes.enqueue(QStringLiteral("Excel Workbook (*.xlsx)"));
        w.mnuSave->trigger();
        QVERIFY(fileBytes(out + QStringLiteral(".xlsx")).startsWith("PK\x03\x04"));
        rig.prompter.fileNames.enqueue(out);
        rig.prompter.fileTypes.enqueue(QStringLiteral("CSV (*.csv)"));
        w.mnuSave->trigger();
        QCOMPARE(fileBytes(out + QStringLiteral(".csv")), gridAsCsv(w.gridL));
        w.mnuSave->trigger();
        QCOMPARE(QDir(rig.dir.path()).entryList({QStringLiteral("out*")}).size(), 3);
        for (const char* type : {"Excel Files (*.xls)", "Excel Workbook (*.xlsx)"}) {
            rig.prompter.fileNames.enqueue(rig.dir.filePath(QStringLiteral("no such folder/x")));
            rig.prompter.fileTypes.enqueue(QLatin1String(type));
            w.mnuSave->trigger();
        }
        QCOMPARE(rig.prompter.messages.size(), 2);
        QVERIFY(rig.prompter.messages[1].text.startsWith(QStringLiteral("Cannot write x.xlsx: ")));

        // Print Grid sends the grid shown as one job; a selection made upward prints the titles.
        w.mnuPrint->trigger();
        QCOMPARE(rig.printer.jobs.size(), 1);
        QVERIFY(rig.printer.jobs[0].cells.contains(QStringLiteral("1|0,0|ID")));
        w.printFirstRow = 3;
        w.printLastRow = 1;
        w.mnuPrintSelection->trigger();
        QCOMPARE(rig.printer.jobs[1].cells.size(), 15);

        // On paper, texts read back whole: a ligature keeps its letters.
        w.gridL.setText(1, 1, QStringLiteral("Yellow Jacket"));
        w.gridL.setText(2, 1, QStringLiteral("Modified"));
        w.gridL.setColWidth(1, 2400);
        PdfFileSurface pdf(rig.dir.filePath(QStringLiteral("grid.pdf")));
        clsPrintGrid print;
        print.Destination(&pdf, QPointF(15, 15));
        print.Source(&w.gridL);
        print.PrintGrid();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf.jobFile(1), QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("Yellow Jacket\n")) &&
                     printed.contains(QStringLiteral("Modified\n")),
                 qPrintable(printed));

        // Clear Data, answered No, then Yes: the race on screen becomes the log's first.
        rig.prompter.answers.enqueue(Answer::No);
        w.cmdClearData->click();
        QCOMPARE(rig.log().count(), 4);
        rig.prompter.answers.enqueue(Answer::Yes);
        w.cmdClearData->click();
        QCOMPARE(rig.prompter.messages.last().title, QStringLiteral("Delete Data"));
        QCOMPARE(rig.log().count(), 0);
        QCOMPARE(w.gridL.rows(), 1);
        QVERIFY(!w.mnuSave->isEnabled());
        session.commit();
        QCOMPARE(rig.log().count(), 2);
        QCOMPARE(rig.log().record(0).RaceNumber, qint16(3));
    }
};

QTEST_MAIN(TestGridWindow)
#include "tst_grid_window.moc"
