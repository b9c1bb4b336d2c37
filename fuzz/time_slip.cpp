// The time slip's layout fed any race and any settings: every copy is a job of its own with the
// same lines, the timing point lines stand between the reaction time and the elapsed time, one
// for each configured sensor, and the date ends the slip.

#include "FuzzInput.h"
#include "data/DragSettings.h"
#include "data/Numbers.h"
#include "platform/Prompter.h"
#include "race/RaceResult.h"
#include "reports/TimeSlip.h"
#include "support/RecordingSurface.h"

#include <cmath>
#include <cstring>

using namespace halvex;
using halvex::fuzz::check;

namespace {

// A time as the race computes it, or any single at all: infinities, NaNs and huge values too.
float anySingle(FuzzedDataProvider& in, bool& plain)
{
    if (in.ConsumeBool())
        return float(in.ConsumeIntegralInRange(-99999, 99999)) / 1000.0f;
    const quint32 bits = in.ConsumeIntegral<quint32>();
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!(std::fabs(value) < 1e6f))
        plain = false;
    return value;
}

QString shortText(FuzzedDataProvider& in, bool& plain)
{
    const QString text = halvex::fuzz::anyText(in, 40);
    if (text.size() > 10)
        plain = false;
    return text;
}

void fillRecord(FuzzedDataProvider& in, RaceRecord& r, bool& plain)
{
    r.RaceNumber = in.ConsumeIntegral<qint16>();
    r.Result = shortText(in, plain);
    r.ReactionTime = anySingle(in, plain);
    for (float& t : r.TimingPoint)
        t = anySingle(in, plain);
    r.Speed = anySingle(in, plain);
    r.DialIn = anySingle(in, plain);
    r.ElapsedTime = anySingle(in, plain);
    r.WinMargin = anySingle(in, plain);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    halvex::fuzz::quietQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    bool plain = true; // every value short enough to stay on its own line
    DragSettings settings;
    settings.TrackName = halvex::fuzz::anyText(in, 60);
    settings.TrackLength = halvex::fuzz::anyText(in, 60);
    for (int k = 1; k <= 3; ++k)
        settings.InterSensorDistance[size_t(k)] = shortText(in, plain);
    settings.NumberOfSensors = in.ConsumeIntegral<qint16>();
    settings.Metric = in.ConsumeBool();
    settings.LargeFont = in.ConsumeBool();
    settings.CopiesIndex = qint16(in.ConsumeIntegralInRange(-2, 3));

    RaceResult race;
    race.setup.treeIndex = in.ConsumeIntegral<qint16>();
    race.setup.className = halvex::fuzz::anyText(in, 40);
    race.setup.racerLeft = shortText(in, plain);
    race.setup.racerRight = halvex::fuzz::anyText(in, 40);
    race.setup.carLeft = shortText(in, plain);
    race.setup.carRight = halvex::fuzz::anyText(in, 40);
    fillRecord(in, race.left, plain);
    fillRecord(in, race.right, plain);
    const QString title = halvex::fuzz::anyText(in, 60);
    const QString date = halvex::fuzz::anyText(in, 20);

    test::RecordingSurface surface;
    halvex::fuzz::RecordingPrompter prompter;
    check(PrintTimeSlip(surface, prompter, race, settings, title, date), "the slip prints");
    check(prompter.messages.isEmpty(), "nothing to report");
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
    if (!plain)
        return 0;
    // Six heading lines, then the results, racers and cars: the lane table starts on line 10.
    const SlipColumns& c = settings.LargeFont ? kLargeSlipColumns : kSmallSlipColumns;
    // An empty label draws nothing, so its column leaves no mark.
    auto laneLine = [&c](const QString& left, const QString& label, const QString& right) {
        const QString middle =
            label.isEmpty() ? QString() : QStringLiteral("[%1]").arg(c.label) + label;
        return QStringLiteral("[%1]").arg(c.leftValue) + left + middle +
               QStringLiteral("[%1]").arg(c.rightValue) + right;
    };
    const int points = std::clamp<int>(settings.NumberOfSensors, 0, 3);
    check(lines.size() > 10 + points, "the lane table is printed");
    check(lines[9] == laneLine(fixed(race.left.ReactionTime, 4), QStringLiteral("R/T"),
                               fixed(race.right.ReactionTime, 4)),
          "the reaction times open the lane table");
    for (int k = 1; k <= points; ++k)
        check(lines[9 + k] == laneLine(fixed(race.left.TimingPoint[size_t(k - 1)], 4),
                                       settings.InterSensorDistance[size_t(k)],
                                       fixed(race.right.TimingPoint[size_t(k - 1)], 4)),
              "one line for each timing point, in order");
    check(lines[10 + points] == laneLine(fixed(race.left.ElapsedTime, 4), QStringLiteral("ET"),
                                         fixed(race.right.ElapsedTime, 4)),
          "the elapsed times follow the timing points");
    return 0;
}
