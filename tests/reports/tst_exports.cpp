#include "data/DragSettings.h"
#include "data/Numbers.h"
#include "data/RaceLog.h"
#include "reports/CsvExport.h"
#include "reports/GridExport.h"
#include "reports/RaceDataGrid.h"
#include "reports/XlsxExport.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <bit>

using namespace halvex;
using namespace halvex::test;

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

// Two races with characters outside ASCII and names that need quoting.
GridModel knownLog()
{
    DragSettings s;
    s.NumberOfSensors = 2;
    s.InterSensorDistance[1] = QStringLiteral("10 ft");
    s.InterSensorDistance[2] = QStringLiteral("20 ft");
    RaceLog log;
    auto lane = [](const char* racer, const char* lane, float rt, float et, float speed,
                   const char* result) {
        RaceRecord r;
        r.ClassName = QStringLiteral("Stock");
        r.Racer = QString::fromUtf8(racer);
        r.Car = QStringLiteral("Red");
        r.Lane = QString::fromLatin1(lane);
        r.ReactionTime = rt;
        r.TimingPoint = {1.5f, 2.25f, 0, 0, 0};
        r.ElapsedTime = et;
        r.DialIn = 9.5f;
        r.Speed = speed;
        r.WinMargin = -0.03f;
        r.Result = QString::fromLatin1(result);
        return r;
    };
    for (int race = 0; race < 2; ++race) {
        RaceRecord l = lane("Jürgen Müller", "L", 0.0512f, 9.8765f, 68.18188f, "Win");
        RaceRecord r = lane(race == 0 ? "Al, Jr" : "Zoë \"Z\" Ng", "R", 0, 0, 0, "");
        l.RaceNumber = r.RaceNumber = log.countRace();
        log.append(l, r);
    }
    GridModel grid;
    RaceDataGrid::loadLoggedRaces(grid, log, s);
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

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(rows[1].toArray()[4][QStringLiteral("value")].toString(),
                 QStringLiteral("Jürgen Müller"));
        QCOMPARE(rows[1].toArray()[12][QStringLiteral("shown")].toString(),
                 QStringLiteral("-0.0300"));

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

    void commaSeparatedBytes()
    {
        GridModel g(0, 3, 0);
        for (const char* row :
             {"ID\tDriver\tET", "0\tAl, \"Jr\"\t9.8765", "\tZoë\nNg\t", "\t\t 1 "})
            g.addItem(QString::fromUtf8(row));
        QCOMPARE(gridAsCsv(g), QByteArray("\xEF\xBB\xBF"
                                          "ID,Driver,ET\r\n"
                                          "0,\"Al, \"\"Jr\"\"\",9.8765\r\n"
                                          ",\"Zo\xC3\xAB\nNg\",\r\n"
                                          ",, 1 \r\n"));
    }

    void fileTypes()
    {
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
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
