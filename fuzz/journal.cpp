// The race journal read from any bytes, as the next start reads a journal a crash left open:
// the comma-separated rows and the races taken from them. Rows written back read back the same,
// and every race read is a left lane and a right lane of one race number, which written back
// and read again gives the same lines.

#include "FuzzInput.h"
#include "data/CsvText.h"
#include "data/RaceJournal.h"

using namespace halvex;
using halvex::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));

    const QList<QStringList> rows = parseCsv(text);
    QByteArray again;
    for (const QStringList& row : rows) {
        check(!row.isEmpty(), "a row holds at least one field");
        again += csvLine(row);
    }
    check(parseCsv(again) == rows, "rows written back read back the same");

    const std::vector<RaceRecord> races = RaceJournal::readRaces(text);
    check(races.size() % 2 == 0, "two records a race");
    QByteArray journal = RaceJournal::headerLine();
    for (size_t i = 0; i < races.size(); i += 2) {
        check(races[i].Lane == u"L" && races[i + 1].Lane == u"R", "left lane first");
        check(races[i].RaceNumber == races[i + 1].RaceNumber, "both lanes of one race");
        check(races[i].RaceNumber >= 0, "race numbers count from 0");
        journal += RaceJournal::recordLine(races[i]) + RaceJournal::recordLine(races[i + 1]);
    }
    // Compared as written lines: a single that reads as NaN is not equal to itself.
    const std::vector<RaceRecord> back = RaceJournal::readRaces(journal);
    check(back.size() == races.size(), "every race written back reads back");
    for (size_t i = 0; i < races.size(); ++i)
        check(RaceJournal::recordLine(back[i]) == RaceJournal::recordLine(races[i]),
              "a race written back reads back the same");
    return 0;
}
