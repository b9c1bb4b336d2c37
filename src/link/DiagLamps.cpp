#include "link/DiagLamps.h"

#include <algorithm>

namespace halvex {

namespace {

// The unit's bit of each intermediate sensor k (index k - 1), left lane; the right lane's is the
// next bit up.
constexpr DiagLamp kIntermediate[] = {{1, 64}, {2, 4}, {1, 1}};

DiagRow row(QString name, DiagLamp left)
{
    return DiagRow{std::move(name), left, DiagLamp{left.mask, left.bit * 2}};
}

} // namespace

int diagSensorCount(int numberOfSensors)
{
    return std::clamp(numberOfSensors, 1, 3);
}

QList<DiagRow> diagRows(const DragSettings& settings)
{
    const int n = diagSensorCount(settings.NumberOfSensors);
    QList<DiagRow> rows;
    rows.append(row(QStringLiteral("Finish Line"), {2, 64}));
    rows.append(row(QStringLiteral("SpeedTrap"), {2, 16}));
    for (int k = n; k >= 1; --k)
        rows.append(row(settings.InterSensorDistance.at(k), kIntermediate[k - 1]));
    rows.append(row(QStringLiteral("StageStart"), {1, 16}));
    rows.append(row(QStringLiteral("PreStage"), {1, 4}));
    return rows;
}

std::optional<DiagLampStates> diagLampStates(const QList<DiagRow>& rows, const DiagReply& reply)
{
    const qint32 mask1 = reply[1];
    const qint32 mask2 = reply[2];
    if (mask1 < 0 || mask1 > 255 || mask2 < 0 || mask2 > 255)
        return std::nullopt;
    const auto blocked = [&](DiagLamp lamp) {
        return ((lamp.mask == 1 ? mask1 : mask2) & lamp.bit) != 0;
    };
    DiagLampStates states;
    for (const DiagRow& r : rows) {
        states.left.append(blocked(r.left));
        states.right.append(blocked(r.right));
    }
    return states;
}

} // namespace halvex
