#include "ScenarioFolder.h"

#include <QMap>

#include <functional>
#include <stdexcept>

namespace halvex::test {

namespace {

[[noreturn]] void badValue(const QString& value)
{
    throw std::runtime_error("not a value of the field: " + value.toStdString());
}

void setValue(QString& field, const QString& value)
{
    field = value;
}

void setValue(float& field, const QString& value)
{
    bool ok = false;
    field = value.toFloat(&ok);
    if (!ok)
        badValue(value);
}

template <class Integer> void setValue(Integer& field, const QString& value)
{
    bool ok = false;
    field = Integer(value.toInt(&ok));
    if (!ok)
        badValue(value);
}

void setValue(bool& field, const QString& value)
{
    if (value != u"true" && value != u"false")
        badValue(value);
    field = value == u"true";
}

template <class Record> using Fields = QMap<QString, std::function<void(Record&, const QString&)>>;

#define FIELD(Record, name)                                                                        \
    {                                                                                              \
        QStringLiteral(#name), [](Record& r, const QString& v) { setValue(r.name, v); }            \
    }

template <class Record>
void assign(const Fields<Record>& fields, Record& record, const QStringList& assignments)
{
    for (const QString& a : assignments) {
        const auto field = fields.find(a.section(u'=', 0, 0));
        if (field == fields.end() || !a.contains(u'='))
            throw std::runtime_error("no such field: " + a.toStdString());
        (*field)(record, a.section(u'=', 1));
    }
}

} // namespace

void assignFields(DragSettings& record, const QStringList& assignments)
{
    static const Fields<DragSettings> fields = {
        FIELD(DragSettings, ProTreeCountdown),
        FIELD(DragSettings, ProTreeCommPortIndex),
        FIELD(DragSettings, TrackName),
        FIELD(DragSettings, SpeedTrapDistance),
        FIELD(DragSettings, TrackLength),
        FIELD(DragSettings, SpeedMultiplier),
        FIELD(DragSettings, InterSensorDistance[1]),
        FIELD(DragSettings, InterSensorDistance[2]),
        FIELD(DragSettings, InterSensorDistance[3]),
        FIELD(DragSettings, CoinBoxInstalled),
        FIELD(DragSettings, CreditsPerCoinIndex),
        FIELD(DragSettings, LedDisplayInstalled),
        FIELD(DragSettings, LedDisplayCommPortIndex),
        FIELD(DragSettings, Metric),
        FIELD(DragSettings, RandomStartMin),
        FIELD(DragSettings, RandomStartMaxIndex),
        FIELD(DragSettings, NumberOfSensors),
        FIELD(DragSettings, PreStageStage),
        FIELD(DragSettings, InvertSignal),
        FIELD(DragSettings, CopiesIndex),
        FIELD(DragSettings, LargeFont),
    };
    assign(fields, record, assignments);
}

void assignFields(WindowStateRecord& record, const QStringList& assignments)
{
    static const Fields<WindowStateRecord> fields = {
        FIELD(WindowStateRecord, ClassName),     FIELD(WindowStateRecord, TreeIndex),
        FIELD(WindowStateRecord, RacerLeft),     FIELD(WindowStateRecord, RacerRight),
        FIELD(WindowStateRecord, CarLeft),       FIELD(WindowStateRecord, CarRight),
        FIELD(WindowStateRecord, SpareFlag),     FIELD(WindowStateRecord, AutoPrintSlip),
        FIELD(WindowStateRecord, CreditsColour), FIELD(WindowStateRecord, SpareValue),
        FIELD(WindowStateRecord, DemoMode),      FIELD(WindowStateRecord, DialInLeft),
        FIELD(WindowStateRecord, DialInRight),
    };
    assign(fields, record, assignments);
}

} // namespace halvex::test
