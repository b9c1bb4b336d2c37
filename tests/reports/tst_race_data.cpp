#include "data/DragSettings.h"
#include "data/RaceLog.h"
#include "platform/ProgramFolder.h"
#include "reports/ExcelFileV2.h"
#include "reports/GridSort.h"
#include "reports/RaceDataGrid.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <bit>

using namespace halvex;
using namespace halvex::RaceDataGrid;
using namespace halvex::test;

namespace {

DragSettings twoSensors()
{
    DragSettings s;
    s.NumberOfSensors = 2;
    s.InterSensorDistance[1] = QStringLiteral("10 ft");
    s.InterSensorDistance[2] = QStringLiteral("20 ft");
    return s;
}

RaceRecord run(const char* cls, const char* racer, const char* car, float et, const char* lane)
{
    RaceRecord r;
    r.ClassName = QString::fromLatin1(cls);
    r.Racer = QString::fromLatin1(racer);
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

} // namespace

class TestRaceData : public QObject
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

    void exportBytes()
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
        QCOMPARE(bytes.mid(8 + 12 + 255, 13),
                 QByteArray::fromHex("02 00 09 00 01 00 02 00 00 00 00 fe ff"));
    }
};

QTEST_GUILESS_MAIN(TestRaceData)
#include "tst_race_data.moc"
