#include "event/EventExport.h"

#include "event/EventDatabase.h"

#include <QSqlQuery>

#include <array>
#include <charconv>
#include <cmath>

namespace halvex {

namespace {

const QStringList kTitles = {QStringLiteral("Station"),        QStringLiteral("Run"),
                             QStringLiteral("Race Number"),    QStringLiteral("Round"),
                             QStringLiteral("Class"),          QStringLiteral("Lane"),
                             QStringLiteral("Racer"),          QStringLiteral("Car"),
                             QStringLiteral("Reaction Time"),  QStringLiteral("Timing Point 1"),
                             QStringLiteral("Timing Point 2"), QStringLiteral("Timing Point 3"),
                             QStringLiteral("Timing Point 4"), QStringLiteral("Timing Point 5"),
                             QStringLiteral("Speed"),          QStringLiteral("Dial-In"),
                             QStringLiteral("Elapsed Time"),   QStringLiteral("Win Margin"),
                             QStringLiteral("Result"),         QStringLiteral("State"),
                             QStringLiteral("Recorded")};

// The columns holding singles, NULL standing for a single that is not a number.
constexpr int kFirstSingle = 8;
constexpr int kLastSingle = 17;

QString singleText(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("NaN");
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), float(v.toDouble()),
                                   std::chars_format::general)
                         .ptr;
    return QString::fromLatin1(text.data(), end - text.data());
}

} // namespace

GridModel eventPassesGrid(const EventDatabase& db)
{
    QSqlQuery q = db.run(QStringLiteral(
        "SELECT station, run_id, race_number, round_name, class_name, lane, racer, car, "
        "reaction_time, timing_point1, timing_point2, timing_point3, timing_point4, "
        "timing_point5, speed, dial_in, elapsed_time, win_margin, result, state, recorded "
        "FROM pass p WHERE state = 'Committed' OR (state = 'Shown' AND NOT EXISTS (SELECT 1 "
        "FROM pass c WHERE c.state = 'Committed' AND c.run_id = p.run_id AND c.segment = "
        "p.segment AND c.race_number = p.race_number AND c.lane = p.lane AND c.station = "
        "p.station)) "
        "ORDER BY station, run_id, segment, race_number, lane"));
    GridModel grid(1, int(kTitles.size()), 1, 0);
    for (int c = 0; c < kTitles.size(); ++c)
        grid.setText(0, c, kTitles[c]);
    while (q.next()) {
        const int row = grid.rows();
        grid.setRows(row + 1);
        for (int c = 0; c < kTitles.size(); ++c)
            grid.setText(row, c,
                         c >= kFirstSingle && c <= kLastSingle ? singleText(q.value(c))
                                                               : q.value(c).toString());
    }
    return grid;
}

} // namespace halvex
