#pragma once

#include "Scenario.h"
#include "data/DragSettings.h"
#include "race/WindowState.h"

#include <QMap>
#include <QVariant>

namespace halvex::test {

// Sets the fields named in "Field=value" words, visiting the record's fields in file order, so
// that a scenario names them as the record does.
class RecordFields
{
public:
    RecordFields(QStringList names, const QStringList& assignments) : m_names(std::move(names))
    {
        for (const QString& a : assignments)
            m_values.insert(a.section(u'=', 0, 0), a.section(u'=', 1));
    }
    template <class T> void operator()(T& field)
    {
        QVariant value(m_values.take(m_names.value(m_next++)));
        if (value.toString().isNull())
            return;
        if (!value.convert(QMetaType::fromType<T>()))
            fail(QStringLiteral("not a value of field %1").arg(m_names.value(m_next - 1)));
        field = value.value<T>();
    }
    void checkAllUsed() const
    {
        if (!m_values.isEmpty())
            fail(QStringLiteral("no such field: ") + m_values.firstKey());
    }

private:
    QStringList m_names;
    QMap<QString, QString> m_values;
    qsizetype m_next = 0;
};

inline void assignFields(DragSettings& s, const QStringList& assignments)
{
    RecordFields fields(
        QStringLiteral("ProTreeCountdown ProTreeCommPortIndex TrackName SpeedTrapDistance "
                       "TrackLength SpeedMultiplier InterSensorDistance1 InterSensorDistance2 "
                       "InterSensorDistance3 CoinBoxInstalled CreditsPerCoinIndex "
                       "LedDisplayInstalled LedDisplayCommPortIndex Metric RandomStartMin "
                       "RandomStartMaxIndex NumberOfSensors PreStageStage InvertSignal "
                       "CopiesIndex LargeFont")
            .split(u' '),
        assignments);
    settingsFields(fields, s);
    fields.checkAllUsed();
}

inline void assignFields(WindowStateRecord& s, const QStringList& assignments)
{
    RecordFields fields(QStringLiteral("ClassName TreeIndex RacerLeft RacerRight CarLeft CarRight "
                                       "SpareFlag AutoPrintSlip CreditsColour SpareValue DemoMode "
                                       "DialInLeft DialInRight")
                            .split(u' '),
                        assignments);
    windowStateFields(fields, s);
    fields.checkAllUsed();
}

} // namespace halvex::test
