// The reports without a window: the race data grid (the logged races, the top qualifiers, the
// sorts and the files it exports), any grid printed page by page, and the bracket on paper.
#include "data/DragSettings.h"
#include "data/Numbers.h"
#include "data/RaceLog.h"
#include "platform/ProgramFolder.h"
#include "reports/BracketPrint.h"
#include "reports/CsvExport.h"
#include "reports/ExcelFileV2.h"
#include "reports/GridExport.h"
#include "reports/GridSort.h"
#include "reports/PrintGrid.h"
#include "reports/RaceDataGrid.h"
#include "reports/XlsxExport.h"
#include "support/RecordingSurface.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <bit>

using namespace halvex;
using namespace halvex::RaceDataGrid;
using namespace halvex::test;

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

DragSettings twoSensors()
{
    DragSettings s = testStrip();
    s.NumberOfSensors = 2;
    return s;
}

RaceRecord run(const char* cls, const char* racer, const char* car, float et, const char* lane)
{
    RaceRecord r;
    r.ClassName = QString::fromLatin1(cls);
    r.Racer = QString::fromUtf8(racer);
    r.Car = QString::fromLatin1(car);
    r.ElapsedTime = et;
    r.Lane = QString::fromLatin1(lane);
    return r;
}

void addRace(RaceLog& log, const RaceRecord& left, const RaceRecord& right)
{
    const qint16 number = log.countRace();
    RaceRecord l = left;
    RaceRecord r = right;
    l.RaceNumber = r.RaceNumber = number;
    log.append(l, r);
}

QStringList column(const GridModel& g, int c)
{
    QStringList texts;
    for (int r = 0; r < g.rows(); ++r)
        texts.append(g.text(r, c));
    return texts;
}

// A grid of titles and bodies from rows of tab-separated texts.
GridModel grid(const QStringList& rows)
{
    GridModel g(1, int(rows[0].count(u'\t')) + 1);
    for (int c = 0; c < g.cols(); ++c)
        g.setText(0, c, rows[0].split(u'\t')[c]);
    for (const QString& row : rows.mid(1))
        g.addItem(row);
    return g;
}

// Two races with characters outside ASCII and names that need quoting.
GridModel knownLog()
{
    RaceLog log;
    for (const char* other : {"Al, Jr", "Zoë \"Z\" Ng"}) {
        RaceRecord l = run("Stock", "Jürgen Müller", "Red", 9.8765f, "L");
        RaceRecord r = run("Stock", other, "Red", 0, "R");
        for (RaceRecord* lane : {&l, &r}) {
            lane->TimingPoint = {1.5f, 2.25f, 0, 0, 0};
            lane->DialIn = 9.5f;
            lane->WinMargin = -0.03f;
        }
        l.ReactionTime = 0.0512f;
        l.Speed = 68.18188f;
        l.Result = QStringLiteral("Win");
        addRace(log, l, r);
    }
    GridModel grid;
    loadLoggedRaces(grid, log, twoSensors());
    return grid;
}

// What the reader script finds in a workbook.
QJsonObject readBack(const QString& path)
{
    QProcess reader;
    reader.start(kPython, {QStringLiteral(HALVEX_READ_EXPORTS), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qFatal("the reader failed: %s", reader.readAllStandardError().constData());
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

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

// A grid printed onto a recording surface of its own, at the screen's 144 by 240 twips a pixel.
struct GridPrint
{
    explicit GridPrint(GridModel g) : model(std::move(g))
    {
        print.Source(&model);
        print.Destination(&surface, QPointF(144, 240));
    }
    RecordingSurface surface;
    GridModel model;
    clsPrintGrid print;
};

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

class TestReports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loggedRaces()
    {
        RaceLog log;
        GridModel g;
        loadLoggedRaces(g, log, twoSensors());
        QCOMPARE(g.rows(), 2);
        QCOMPARE(g.cols(), 14);
        QCOMPARE(column(g, 0), (QStringList{"ID", ""}));
        QVERIFY(g.font(0, 3).bold);

        RaceRecord left = run("Stock", "Ann", "Red", 9.8765f, "L");
        left.TimingPoint = {1.5f, 2.25f, 3, 0, 0};
        left.DialIn = 9.5f;
        left.Speed = 68.18188f;
        left.WinMargin = 0.03f;
        left.Result = QStringLiteral("Win");
        addRace(log, left, run("Stock", "Bob", "Blue", 9.9f, "R"));
        GridModel one;
        loadLoggedRaces(one, log, twoSensors());
        QCOMPARE(one.rows(), 3);
        QStringList titles, first;
        for (int c = 0; c < one.cols(); ++c) {
            titles << one.text(0, c);
            first << one.text(1, c);
        }
        QCOMPARE(titles, (QStringList{"ID", "Race#", "Class", "Lane", "Driver", "Car", "RT",
                                      "10 ft", "20 ft", "ET", "Dial-In", "MPH", "Margin", "W/L"}));
        QCOMPARE(first, (QStringList{"0", "1", "Stock", "L", "Ann", "Red", "0.0000", "1.5000",
                                     "2.2500", "9.8765", "9.500", "68.18", "0.0300", "Win"}));
    }

    void topQualifiers()
    {
        RaceLog log;
        addRace(log, run("Stock", "Ann", "Red", 9.9f, "L"), run("Stock", "Bob", "Blue", 0, "R"));
        addRace(log, run("Stock", "Ann", "Green", 9.7f, "L"), run("Pro", "Ann", "Red", 8.1f, "R"));
        addRace(log, run("Pro", "Cy", "Red", 10.2f, "L"), run("Stock", "Bob", "Blue", 0.05f, "R"));
        addRace(log, run("Pro", "Dee", "Red", 7.95f, "L"), run("Stock", "Eve", "Blue", 9.7f, "R"));
        // 0.1 s is the least time that counts, decided on the shown text: 0.1f and the single
        // just below it both show "0.1000" and count; "0.0999" does not.
        addRace(log, run("Quick", "Fay", "Red", std::bit_cast<float>(0x3dcccccdu), "L"),
                run("Quick", "Gus", "Blue", std::bit_cast<float>(0x3dccccccu), "R"));
        addRace(log, run("Quick", "Hal", "Red", 0.0999f, "L"), run("Quick", "Fay", "Red", 0, "R"));
        const DragSettings s = twoSensors();
        GridModel logged;
        loadLoggedRaces(logged, log, s);
        GridModel q;
        buildTopQualifiers(logged, q, s);
        // Best run per racer and class, by class (as text) then elapsed time (as text: "10.2"
        // before "8.1"); no run under 0.1 s; Ann once in each class, with her better car.
        QCOMPARE(column(q, 2),
                 (QStringList{"Class", "Pro", "Pro", "Pro", "Quick", "Quick", "Stock", "Stock"}));
        QCOMPARE(column(q, 4),
                 (QStringList{"Driver", "Cy", "Dee", "Ann", "Fay", "Gus", "Ann", "Eve"}));
        QCOMPARE(column(q, 5),
                 (QStringList{"Car", "Red", "Red", "Red", "Red", "Blue", "Green", "Blue"}));
        QCOMPARE(column(q, 9).mid(4, 2), (QStringList{"0.1000", "0.1000"}));
        QCOMPARE(q.text(0, 9), QStringLiteral("ET"));
        QVERIFY(q.font(0, 9).bold);
        // Back to the logging order.
        restoreLoggingOrder(logged);
        QCOMPARE(column(logged, 0),
                 (QStringList{"ID", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
    }

    // One sort a row of grid-sorts.tsv.
    void sorts_data() { addTableRows(QFINDTESTDATA("grid-sorts.tsv"), 5); }
    void sorts()
    {
        QFETCH(QStringList, row);
        GridModel g = grid(row[1].split(u'|').replaceInStrings(QStringLiteral(","), "\t"));
        ColumnSort clicks;
        for (const QString& step : row[2].split(u';')) {
            QStringList words = step.split(u' ');
            const QString verb = words.takeFirst();
            const int c = words.value(0).left(1).toInt();
            const bool descending = words.value(0).contains(u'<');
            if (verb == u"key") {
                std::vector<SortKey> keys;
                for (const QString& k : words)
                    keys.push_back({k.left(1).toInt(), k.contains(u'<'), k.contains(u'n')});
                FG_Sort(g, keys);
            } else if (verb == u"click") {
                clicks.DoColumnSort(g, c);
            } else {
                QCOMPARE(verb, QStringLiteral("generic"));
                g.sort(c,
                       descending ? GridModel::Sort::GenericDescending
                                  : GridModel::Sort::GenericAscending,
                       words[1].toInt(), words[2].toInt());
            }
        }
        QCOMPARE(column(g, row[3].toInt()).join(u'|'), row[4]);
    }

    // The files the grid is saved as, and the type and name the save dialog settles on.
    void exports()
    {
        GridModel g = grid({"RT\tLane", "0.0000\t€", "12\tWin", "\tnan"});
        // Type, length, row, column, three attribute bytes, then the value.
        const QByteArray expected = QByteArray::fromHex(
            "09 00 04 00 02 00 0a 00"                                  // beginning of file
            "04 00 0a 00 00 00 00 00 00 00 00 02 52 54"                // "RT" at 0,0
            "04 00 0c 00 00 00 01 00 00 00 00 04 4c 61 6e 65"          // "Lane" at 0,1
            "03 00 0f 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00" // 0.0 at 1,0
            "04 00 09 00 01 00 01 00 00 00 00 01 80"                   // "€" in the code page
            "03 00 0f 00 02 00 00 00 00 00 00 00 00 00 00 00 00 28 40" // 12.0 at 2,0
            "04 00 0b 00 02 00 01 00 00 00 00 03 57 69 6e"             // "Win" at 2,1
            "04 00 08 00 03 00 00 00 00 00 00 00"                      // empty at 3,0
            "04 00 0b 00 03 00 01 00 00 00 00 03 6e 61 6e"             // "nan" is a text
            "0a 00 00 00");                                            // end of file
        QCOMPARE(FG_SaveAsExcel(g).toHex(), QByteArray(expected).toHex());
        ExcelFileV2 e;
        e.EWriteString(1, 1, QString(300, u'x'));
        e.EWriteInteger(2, 3, -2);
        const QByteArray bytes = e.close();
        QCOMPARE(bytes.size(), 8 + 12 + 255 + 13 + 4);
        QCOMPARE(bytes.mid(8 + 11, 1).toHex(), QByteArray("ff"));
        QCOMPARE(bytes.mid(8 + 12 + 255, 13),
                 QByteArray::fromHex("02 00 09 00 01 00 02 00 00 00 00 fe ff"));

        // Comma-separated values: UTF-8 with its mark, quoted where a field needs it.
        const GridModel texts =
            grid({"ID\tDriver\tET", "0\tAl, \"Jr\"\t9.8765", "\tZoë\nNg\t", "\t\t 1 "});
        QCOMPARE(gridAsCsv(texts), QByteArray("\xEF\xBB\xBF"
                                              "ID,Driver,ET\r\n"
                                              "0,\"Al, \"\"Jr\"\"\",9.8765\r\n"
                                              ",\"Zo\xC3\xAB\nNg\",\r\n"
                                              ",, 1 \r\n"));

        // The dialog opens in "Halvex Stats" only when it exists, then where the run last saved.
        QTemporaryDir home;
        const ProgramFolder folder(home.path());
        const QDateTime at(QDate(2026, 12, 5), QTime(9, 7));
        QCOMPARE(proposedExportName(folder, at, true), home.path() + "/Qualifiers Dec-05, 9-07");
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("halvex STATS")));
        QCOMPARE(proposedExportName(folder, at, true),
                 home.path() + "/halvex STATS/Qualifiers Dec-05, 9-07");
        rememberExportFolder(QStringLiteral("/media/usb/race.csv"));
        QCOMPARE(proposedExportName(folder, at, false),
                 QStringLiteral("/media/usb/Stats Dec-05, 9-07"));

        // A file type the dialog did not offer (or none) is the worksheet's.
        QCOMPARE(exportFormatOf(QStringLiteral("All Files (*)")), ExportFormat::Worksheet);
        // The proposed names have no suffix, though they have a comma and a folder with a dot.
        QCOMPARE(withExportSuffix(QStringLiteral("/t.x/Stats Dec-05, 9-07"), ExportFormat::Csv),
                 QStringLiteral("/t.x/Stats Dec-05, 9-07.csv"));
        QCOMPARE(withExportSuffix(QStringLiteral("/t/out.xls"), ExportFormat::Workbook),
                 QStringLiteral("/t/out.xls"));
        // A typed suffix of one of the formats wins over the file type, in any letter case.
        const QString csv = exportFilter(ExportFormat::Csv);
        QCOMPARE(exportFormatFor(QStringLiteral("/t/a.XLSX"), csv), ExportFormat::Workbook);
        QCOMPARE(exportFormatFor(QStringLiteral("/t/a.xls"), csv), ExportFormat::Worksheet);
        QCOMPARE(exportFormatFor(QStringLiteral("/t/a.csv"), exportFilter(ExportFormat::Workbook)),
                 ExportFormat::Csv);
        QCOMPARE(exportFormatFor(QStringLiteral("/t.xlsx/a.txt"), csv), ExportFormat::Csv);
        QCOMPARE(exportFormatFor(QStringLiteral("/t/a"), csv), ExportFormat::Csv);
    }

    void aReaderReadsTheWorkbook()
    {
        if (!QFile::exists(kPython))
            QSKIP("no /usr/bin/python3 to read the file back (scripts/setup.sh installs it)");
        QTemporaryDir dir;
        const GridModel grid = knownLog();
        const QString path = dir.filePath(QStringLiteral("races.xlsx"));
        writeFile(path, gridAsWorkbook(grid, QStringLiteral("Logged Races")));
        const QJsonObject book = readBack(path);
        QCOMPARE(book[QStringLiteral("title")].toString(), QStringLiteral("Logged Races"));
        QCOMPARE(book[QStringLiteral("freeze")].toString(), QStringLiteral("A2"));
        const QJsonArray rows = book[QStringLiteral("rows")].toArray();
        QCOMPARE(rows.size(), grid.rows());

        // Every cell: numbers by value, bit for bit, shown as the grid shows them; texts as
        // they are; the titles alone bold; empty texts leave the cell empty.
        for (int r = 0; r < grid.rows(); ++r) {
            const QJsonArray cells = rows[r].toArray();
            QCOMPARE(cells.size(), grid.cols());
            for (int c = 0; c < grid.cols(); ++c) {
                const QString& text = grid.text(r, c);
                const QJsonObject cell = cells[c].toObject();
                if (text.isEmpty()) {
                    QVERIFY2(cells[c].isNull(), qPrintable(QStringLiteral("%1,%2").arg(r).arg(c)));
                    continue;
                }
                QCOMPARE(cell[QStringLiteral("bold")].toBool(), r == 0);
                const QJsonValue value = cell[QStringLiteral("value")];
                if (r > 0 && isNumeric(text)) {
                    QVERIFY(value.isDouble());
                    QCOMPARE(std::bit_cast<quint64>(value.toDouble()),
                             std::bit_cast<quint64>(numericValue(text)));
                    QCOMPARE(cell[QStringLiteral("shown")].toString(), text);
                } else {
                    QCOMPARE(value.toString(), text);
                }
            }
        }
        QStringList formats;
        for (const QJsonValue cell : rows[1].toArray())
            formats << cell[QStringLiteral("format")].toString();
        QCOMPARE(formats,
                 (QStringList{"0", "0", "General", "General", "General", "General", "0.0000",
                              "0.0000", "0.0000", "0.0000", "0.000", "0.00", "0.0000", "General"}));

        // Texts past a cell's 32767 characters are cut there; a number too large for a
        // double stays text; one with an exponent is a number in the general format.
        GridModel edges(2, 3);
        edges.setText(1, 0, QString(40000, u'x'));
        edges.setText(1, 1, QStringLiteral("1e400"));
        edges.setText(1, 2, QStringLiteral("1.5e3"));
        writeFile(path, gridAsWorkbook(edges, QStringLiteral("Qualifiers")));
        const QJsonObject edgeBook = readBack(path);
        QCOMPARE(edgeBook[QStringLiteral("title")].toString(), QStringLiteral("Qualifiers"));
        const QJsonArray edgeRow = edgeBook[QStringLiteral("rows")].toArray()[1].toArray();
        QCOMPARE(edgeRow[0][QStringLiteral("value")].toString(), QString(32767, u'x'));
        QCOMPARE(edgeRow[1][QStringLiteral("value")].toString(), QStringLiteral("1e400"));
        QCOMPARE(edgeRow[2][QStringLiteral("value")].toDouble(), 1500.0);
        QCOMPARE(edgeRow[2][QStringLiteral("format")].toString(), QStringLiteral("General"));
    }

    void pagesRunAcrossThenDown()
    {
        GridPrint rig(grid(100, 6));
        auto& [surface, model, print] = rig;
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
    }

    void selectionsAndOversizedCells()
    {
        // A selection made upward prints only the fixed cells.
        GridPrint rig(grid(10, 2));
        auto& [surface, model, print] = rig;
        print.setSelection(5, 2);
        QCOMPARE(print.PrintGrid(), 1);
        QCOMPARE(page(surface, 1), (QStringList{"t0", "t1"}));
        // A selection that fits is one page, every cell of it drawn once.
        print.setSelection(2, 3);
        QCOMPARE(print.PrintGrid(), 1);
        QCOMPARE(surface.jobs.last().cells.filter(QRegularExpression("^2\\|")), QStringList());
        QCOMPARE(page(surface, 1), (QStringList{"r2c0", "r3c0", "r2c1", "r3c1", "t0", "t1"}));

        // A row taller than a page, and a column wider, each go on pages of their own, clipped.
        GridPrint big(grid(3, 2));
        big.model.setRowHeight(2, 240 * 100);
        big.model.setColWidth(1, 2880 * 10);
        QCOMPARE(big.print.NumberOfPages(), 6);
        QCOMPARE(big.print.PrintGrid(), 6);
        QCOMPARE(page(big.surface, 1), (QStringList{"r1c0", "t0"}));
        QCOMPARE(page(big.surface, 2), (QStringList{"r1c1", "t1"}));
        QCOMPARE(page(big.surface, 3), (QStringList{"r2c0", "t0"}));
        QCOMPARE(page(big.surface, 6), (QStringList{"r3c1", "t1"}));
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

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
