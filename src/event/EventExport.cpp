#include "event/EventExport.h"

#include "event/EventDatabase.h"
#include "event/Ladder.h"

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
                             QStringLiteral("Recorded"),       QStringLiteral("Pair"),
                             QStringLiteral("Outcome"),        QStringLiteral("Entered by Hand"),
                             QStringLiteral("Void"),           QStringLiteral("Reason")};

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
    // Each pass once (its commit where it has one) in the order they were run, with what the
    // corrections say of it; then the
    // corrections that stand for no pass of their own (no-shows, overrides, undos).
    QSqlQuery q = db.run(QStringLiteral(
        "SELECT p.station, p.run_id, p.race_number, p.round_name, p.class_name, p.lane, "
        "p.racer, p.car, p.reaction_time, p.timing_point1, p.timing_point2, p.timing_point3, "
        "p.timing_point4, p.timing_point5, p.speed, p.dial_in, p.elapsed_time, p.win_margin, "
        "p.result, p.state, p.recorded, "
        "CASE WHEN p.stage = 'P' THEN '' ELSE p.pair_no + 1 END, p.outcome, "
        "CASE WHEN p.by_hand = 1 THEN 'yes' ELSE '' END, "
        "CASE WHEN v.seq IS NULL THEN '' ELSE 'void' END, COALESCE(v.reason, '') "
        "FROM pass p LEFT JOIN correction v ON v.kind = 'rerun' AND v.station = p.station AND "
        "v.pass_seq = p.heat AND p.heat <> 0 "
        "WHERE p.state = 'Committed' OR (p.state = 'Shown' AND NOT EXISTS (SELECT 1 "
        "FROM pass c WHERE c.state = 'Committed' AND c.run_id = p.run_id AND c.segment = "
        "p.segment AND c.race_number = p.race_number AND c.lane = p.lane AND c.station = "
        "p.station AND c.heat = p.heat)) "
        "ORDER BY p.station, COALESCE(NULLIF(p.heat, 0), p.seq), p.lane"));
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
    QSqlQuery fixes = db.run(QStringLiteral(
        "SELECT f.station, f.stage, f.round_no, f.class_name, COALESCE(e.racer, ''), f.recorded, "
        "f.pair_no + 1, f.kind, f.reason FROM correction f LEFT JOIN entry e ON e.id = "
        "f.entry_id WHERE f.kind <> 'rerun' ORDER BY f.station, f.seq"));
    while (fixes.next()) {
        const int row = grid.rows();
        grid.setRows(row + 1);
        const bool qualifying = fixes.value(1).toString() == u"Q";
        const int seeds = db.value(QStringLiteral("SELECT COUNT(*) FROM ladder_seed WHERE "
                                                  "class_name = ?"),
                                   {fixes.value(3)})
                              .toInt();
        int rounds = 0;
        while ((1 << rounds) < seeds)
            ++rounds;
        grid.setText(row, 0, fixes.value(0).toString());
        grid.setText(row, 3,
                     roundName(qualifying ? Stage::Qualifying : Stage::Eliminations,
                               fixes.value(2).toInt(), rounds));
        grid.setText(row, 4, fixes.value(3).toString());
        grid.setText(row, 6, fixes.value(4).toString());
        grid.setText(row, 19, QStringLiteral("Correction"));
        grid.setText(row, 20, fixes.value(5).toString());
        grid.setText(row, 21, fixes.value(6).toString());
        grid.setText(row, 22, fixes.value(7).toString());
        grid.setText(row, 25, fixes.value(8).toString());
    }
    return grid;
}

} // namespace halvex
