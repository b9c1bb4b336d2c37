#include "data/DragSettings.h"
#include "race/RaceResult.h"
#include "reports/QtPrintSurface.h"
#include "reports/TimeSlip.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
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

// A track with three named timing points; the large layout in miles, the small one metric.
DragSettings slipSettings(bool large, int sensors)
{
    DragSettings s;
    s.TrackName = QStringLiteral("Test Strip");
    s.TrackLength = QStringLiteral("66 ft");
    s.InterSensorDistance = {QString(), "10 ft", "20 ft", "40 ft", QString(), QString()};
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

} // namespace

class TestTimeSlip : public QObject
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
        race.pairing = EventPairing{QStringLiteral("Club Night"),
                                    QStringLiteral("Stock"),
                                    EventPairing::Stage::Eliminations,
                                    2,
                                    0,
                                    QStringLiteral("Final"),
                                    {3, 4},
                                    {QStringLiteral("Ann"), QStringLiteral("Bob")},
                                    false};
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
};

QTEST_MAIN(TestTimeSlip)
#include "tst_time_slip.moc"
