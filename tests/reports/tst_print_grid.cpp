#include "reports/BracketPrint.h"
#include "reports/GridModel.h"
#include "reports/PrintGrid.h"
#include "support/RecordingSurface.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

// The recording surface is 80 by 60 pixels of 144 by 240 twips: a column of 2880 twips is 20
// pixels wide, a row of 240 twips 1 pixel high.
GridModel grid(int bodyRows, int cols)
{
    GridModel g(1 + bodyRows, cols);
    for (int c = 0; c < cols; ++c) {
        g.setColWidth(c, 2880);
        g.setText(0, c, QStringLiteral("t%1").arg(c));
        for (int r = 1; r <= bodyRows; ++r)
            g.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    return g;
}

// The texts drawn on a page, in drawing order.
QStringList page(const RecordingSurface& s, int number)
{
    QStringList texts;
    for (const QString& cell : s.jobs.last().cells)
        if (cell.startsWith(QString::number(number) + u'|'))
            texts.append(cell.section(u'|', 2));
    return texts;
}

// A full ladder of `cars`, every seat named at length and timed, every pair with a note.
BracketSheet bracket(int cars)
{
    BracketSheet sheet{"Club Night", "Stock", {}, "Alexandra Kowalczyk-Smith"};
    for (int pairs = cars / 2; pairs >= 1; pairs /= 2) {
        BracketRound& round = sheet.rounds.emplace_back();
        round.name =
            pairs == 1 ? QStringLiteral("Final") : QStringLiteral("E%1").arg(sheet.rounds.size());
        for (int k = 0; k < pairs; ++k)
            round.pairs.push_back(
                {{BracketSeat{"Alexandra Kowalczyk-Smith", "123", "RED LIGHT", "-0.123", true},
                  BracketSeat{"Bob", "7", "7.512", "0.512", false}},
                 QStringLiteral("Rerun, By hand")});
    }
    return sheet;
}

} // namespace

class TestPrintGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagesRunAcrossThenDown()
    {
        RecordingSurface surface;
        GridModel g = grid(100, 6);
        clsPrintGrid print;
        print.Source(&g);
        print.Destination(&surface, QPointF(144, 240));
        QList<int> started;
        print.PageStart = [&](int p) { started.append(p); };
        QCOMPARE(print.NumberOfPages(), 4);
        QVERIFY(surface.jobs.isEmpty());
        QVERIFY(started.isEmpty());

        QCOMPARE(print.PrintGrid(), 4);
        QCOMPARE(started, (QList<int>{1, 2, 3, 4}));
        QCOMPARE(surface.jobs.size(), 1);
        // Four columns fit on a page exactly; rows 1 to 59 below the title row.
        const QStringList topLeft = page(surface, 1);
        QCOMPARE(topLeft.first(), QStringLiteral("r1c0"));
        QVERIFY(topLeft.contains("r59c3") && !topLeft.contains("r60c0") &&
                !topLeft.contains("r1c4"));
        QCOMPARE(topLeft.mid(topLeft.size() - 4), (QStringList{"t0", "t1", "t2", "t3"}));
        const QStringList topRight = page(surface, 2);
        QCOMPARE(topRight.first(), QStringLiteral("r1c4"));
        QCOMPARE(topRight.mid(topRight.size() - 2), (QStringList{"t4", "t5"}));
        QCOMPARE(page(surface, 3).first(), QStringLiteral("r60c0"));
        QVERIFY(page(surface, 3).contains("t0"));
        QCOMPARE(page(surface, 4).first(), QStringLiteral("r60c4"));
        QVERIFY(page(surface, 4).contains("r100c5"));
        QCOMPARE(surface.jobs.last().cells.filter(QStringLiteral("r1c0")).first(),
                 QStringLiteral("1|0,1|r1c0"));

        // A grid that fits is one page, with no page started after the first.
        RecordingSurface small;
        GridModel fits = grid(3, 2);
        clsPrintGrid one;
        one.Source(&fits);
        one.Destination(&small, QPointF(144, 240));
        QCOMPARE(one.PrintGrid(), 1);
        QCOMPARE(small.jobs.last().cells.size(), 8);
        QVERIFY(small.jobs.last().cells.filter(QRegularExpression("^2\\|")).isEmpty());
    }

    void selectionsAndOversizedCells()
    {
        // A selection made upward prints only the fixed cells.
        RecordingSurface surface;
        GridModel g = grid(10, 2);
        clsPrintGrid print;
        print.Source(&g);
        print.Destination(&surface, QPointF(144, 240));
        print.setSelection(5, 2);
        QCOMPARE(print.PrintGrid(), 1);
        QCOMPARE(page(surface, 1), (QStringList{"t0", "t1"}));
        print.setSelection(2, 3);
        print.PrintGrid();
        QCOMPARE(page(surface, 1), (QStringList{"r2c0", "r3c0", "r2c1", "r3c1", "t0", "t1"}));

        // A row taller than a page, and a column wider, each go on pages of their own, clipped.
        GridModel big = grid(3, 2);
        big.setRowHeight(2, 240 * 100);
        big.setColWidth(1, 2880 * 10);
        clsPrintGrid p;
        p.Source(&big);
        p.Destination(&surface, QPointF(144, 240));
        QCOMPARE(p.NumberOfPages(), 6);
        QCOMPARE(p.PrintGrid(), 6);
        QCOMPARE(page(surface, 1), (QStringList{"r1c0", "t0"}));
        QCOMPARE(page(surface, 2), (QStringList{"r1c1", "t1"}));
        QCOMPARE(page(surface, 3), (QStringList{"r2c0", "t0"}));
        QCOMPARE(page(surface, 6), (QStringList{"r3c1", "t1"}));
    }

    // One cell a row of cell-alignments.tsv.
    void textsSitAsTheGridShowsThem_data()
    {
        addTableRows(QFINDTESTDATA("cell-alignments.tsv"), 4);
    }
    void textsSitAsTheGridShowsThem()
    {
        QFETCH(QStringList, row);
        const QStringList names{"left", "right", "hcenter", "top", "bottom", "vcenter"};
        const Qt::AlignmentFlag flags[] = {Qt::AlignLeft, Qt::AlignRight,  Qt::AlignHCenter,
                                           Qt::AlignTop,  Qt::AlignBottom, Qt::AlignVCenter};
        Qt::Alignment placed;
        for (const QString& word : row[3].split(u' ')) {
            QVERIFY2(names.contains(word), qPrintable(word));
            placed |= flags[names.indexOf(word)];
        }
        QCOMPARE(cellTextAlignment(row[1].toInt(), row[2]), placed);
    }

    void bracketFitsItsPages()
    {
        // 32 cars on one page, 64 on two; nothing drawn outside the page, the settings kept.
        for (const auto& [cars, pages] : {std::pair{32, 1}, std::pair{64, 2}}) {
            RecordingSurface surface;
            printBracket(surface, bracket(cars));
            QCOMPARE(surface.jobs.size(), 1);
            const RecordingSurface::Job& job = surface.jobs.last();
            QCOMPARE(job.cells.last().section(u'|', 0, 0).toInt(), pages);
            QVERIFY(job.cells.contains(QStringLiteral("1|0,0|Club Night")));
            QCOMPARE(job.cells.filter(QStringLiteral("|RED LIGHT")).size(), cars - 1);
            const QRectF page = QRectF(0, 0, 80, 60).adjusted(-1e-9, -1e-9, 1e-9, 1e-9);
            QVERIFY(std::all_of(job.boxes.begin(), job.boxes.end(),
                                [&page](const QRectF& box) { return page.contains(box); }));
            QCOMPARE(surface.orientation(), 1);
            QCOMPARE(surface.font().size, 10.0f);
            QCOMPARE(surface.scaleMode(), ScaleMode::Twips);
        }
    }
};

QTEST_GUILESS_MAIN(TestPrintGrid)
#include "tst_print_grid.moc"
