// The time slip's layout fed any race and any settings: it prints without a word, every copy is
// a job of its own with the same lines, and the date ends the slip. The lines themselves are
// the unit tests' to fix.

#include "FuzzInput.h"
#include "data/DragSettings.h"
#include "race/RaceResult.h"
#include "reports/TimeSlip.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedPrompter.h"

#include <bit>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// A time as the race computes it, or any single at all: infinities, NaNs and huge values too.
float anySingle(FuzzedDataProvider& in)
{
    if (in.ConsumeBool())
        return float(in.ConsumeIntegralInRange(-99999, 99999)) / 1000.0f;
    return std::bit_cast<float>(in.ConsumeIntegral<quint32>());
}

void fillRecord(FuzzedDataProvider& in, RaceRecord& r)
{
    r.RaceNumber = in.ConsumeIntegral<qint16>();
    r.Result = halvex::fuzz::anyText(in, 40);
    r.ReactionTime = anySingle(in);
    for (float& t : r.TimingPoint)
        t = anySingle(in);
    r.Speed = anySingle(in);
    r.DialIn = anySingle(in);
    r.ElapsedTime = anySingle(in);
    r.WinMargin = anySingle(in);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    DragSettings settings;
    settings.TrackName = halvex::fuzz::anyText(in, 60);
    settings.TrackLength = halvex::fuzz::anyText(in, 60);
    for (int k = 1; k <= 3; ++k)
        settings.InterSensorDistance[size_t(k)] = halvex::fuzz::anyText(in, 40);
    settings.NumberOfSensors = in.ConsumeIntegral<qint16>();
    settings.Metric = in.ConsumeBool();
    settings.LargeFont = in.ConsumeBool();
    settings.CopiesIndex = qint16(in.ConsumeIntegralInRange(-2, 3));

    RaceResult race;
    race.setup.treeIndex = in.ConsumeIntegral<qint16>();
    for (QString* text : {&race.setup.className, &race.setup.racerLeft, &race.setup.racerRight,
                          &race.setup.carLeft, &race.setup.carRight})
        *text = halvex::fuzz::anyText(in, 40);
    fillRecord(in, race.left);
    fillRecord(in, race.right);
    const QString title = halvex::fuzz::anyText(in, 60);
    const QString date = halvex::fuzz::anyText(in, 20);

    test::RecordingSurface surface;
    test::ScriptedPrompter prompter;
    check(PrintTimeSlip(surface, prompter, race, settings, title, date), "the slip prints");
    check(prompter.texts().isEmpty(), "nothing to report");
    const int copies = std::max(0, settings.CopiesIndex + 1);
    check(surface.jobs.size() == copies, "one job a copy");
    if (copies == 0)
        return 0;
    for (const auto& job : surface.jobs)
        check(job.lines == surface.jobs.first().lines, "every copy the same");
    const QStringList& lines = surface.jobs.first().lines;
    if (!date.isEmpty())
        check(lines.last() == QStringLiteral("[%1]").arg(kSlipDateColumn) + date,
              "the date ends the slip");
    return 0;
}
