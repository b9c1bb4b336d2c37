// The race's hot paths taken one by one: the unit's report parsed, the race computed and decided,
// and the time slip laid out.
#include "link/ReplyParser.h"
#include "race/RaceResult.h"
#include "reports/QtPrintSurface.h"
#include "reports/TimeSlip.h"
#include "support/RecordingSurface.h"

#include <QDir>

#include <benchmark/benchmark.h>

using namespace halvex;
using namespace halvex::test;

namespace {

// A race report as the unit sends it: 18 fields, three timing points per lane, both traps.
const QByteArray kReportBytes = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n"
                                "10400\n10700\n10500\n10800\n0\n0\n0\n0\n";

DragSettings threePointTrack()
{
    DragSettings s;
    s.TrackName = QStringLiteral("Test Strip");
    s.TrackLength = QStringLiteral("66 ft");
    s.SpeedTrapDistance = 12;
    s.SpeedMultiplier = 1;
    s.NumberOfSensors = 3;
    s.InterSensorDistance = {QString(), "10 ft", "20 ft", "40 ft", QString(), QString()};
    s.LargeFont = true;
    return s;
}

RaceSetup dialInSetup()
{
    RaceSetup s;
    s.treeIndex = 2;
    s.className = QStringLiteral("Stock");
    s.racerLeft = QStringLiteral("Ann");
    s.racerRight = QStringLiteral("Bob");
    s.carLeft = QStringLiteral("Red");
    s.carRight = QStringLiteral("Blue");
    s.dialInLeft = QStringLiteral("0.95");
    s.dialInRight = QStringLiteral("1.02");
    return s;
}

// The report's bytes as they came off the line into the fields counted from 1.
int parse(const QByteArray& bytes, RaceReply& reply)
{
    return parseReply(QString::fromLatin1(bytes), kReplyValidChars, kReplyDelimiter,
                      std::span<qint32>(reply).subspan(1), 1);
}

RaceReply parsedReport()
{
    RaceReply reply{};
    parse(kReportBytes, reply);
    return reply;
}

void ParseRaceReply(benchmark::State& state)
{
    RaceReply reply{};
    int fields = 0;
    for (auto _ : state) {
        fields = parse(kReportBytes, reply);
        benchmark::DoNotOptimize(fields);
        benchmark::ClobberMemory();
    }
    if (fields != 18 || reply[13] != 10500 || reply[14] != 10800)
        state.SkipWithError("the report was not read back as sent");
}
BENCHMARK(ParseRaceReply)->Unit(benchmark::kMicrosecond);

// Times, speeds and margins of both lanes, then red lights, breakouts and the winner.
void ProcessTimesAndWinner(benchmark::State& state)
{
    const RaceReply reply = parsedReport();
    const DragSettings settings = threePointTrack();
    const RaceSetup setup = dialInSetup();
    Lane winner = Lane::None;
    for (auto _ : state) {
        const ComputedRace race = processTimes(setup, reply, settings, 7);
        winner = decideWinner(setup.treeIndex, race.left, race.right).winner;
        benchmark::DoNotOptimize(winner);
    }
    if (winner == Lane::None)
        state.SkipWithError("no winner decided");
}
BENCHMARK(ProcessTimesAndWinner)->Unit(benchmark::kMicrosecond);

// The slip's lines and tab columns, as a printer is handed them (Arg 0), and the same slip drawn
// into a PDF page (Arg 1), the printer's own work included.
void SlipLayout(benchmark::State& state)
{
    const DragSettings settings = threePointTrack();
    const RaceResult race = computeRace(dialInSetup(), parsedReport(), settings, 7);
    const QString title = QStringLiteral("Halvex 3000");
    const QString date = QStringLiteral("12/6/2026 1:30:00 AM");
    if (state.range(0) == 0) {
        for (auto _ : state) {
            RecordingSurface surface;
            printSlipCopy(surface, race, settings, title, date);
            benchmark::DoNotOptimize(surface.jobs);
        }
    } else {
        // A surface a slip, so that each one overwrites the same file.
        const QString path = QDir::temp().filePath(QStringLiteral("halvex-bench-slip.pdf"));
        for (auto _ : state) {
            PdfFileSurface pdf(path);
            printSlipCopy(pdf, race, settings, title, date);
        }
        QFile::remove(path);
    }
}
BENCHMARK(SlipLayout)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
