#include "event/EventDatabase.h"

namespace halvex {

// Portable SQL only: the same statements make the schema on the server engine. Ids and sequence
// numbers are given by the program, not by the engine, for the same reason. Singles are REAL
// columns: a single widens to a double and back without change.
const std::vector<EventDatabase::Migration>& EventDatabase::eventSchema()
{
    static const std::vector<Migration> schema = {
        {1,
         {QStringLiteral("CREATE TABLE event (name VARCHAR(200) NOT NULL, "
                         "event_date VARCHAR(10) NOT NULL, created VARCHAR(32) NOT NULL)"),
          // A run of the program on a station: started, ended by a clean quit, and settled
          // once its races were restored or declined after it ended without one.
          QStringLiteral("CREATE TABLE run (id INTEGER NOT NULL PRIMARY KEY, "
                         "station VARCHAR(100) NOT NULL, started VARCHAR(32) NOT NULL, "
                         "ended VARCHAR(32), settled INTEGER NOT NULL)"),
          // Every pass, appended and never changed: a race's commit is a second row of the same
          // race in the state "Committed", and races restored into a later run's log are rows
          // "Restored" of that run. A segment starts at each clearing of the run's log.
          QStringLiteral("CREATE TABLE pass (station VARCHAR(100) NOT NULL, "
                         "seq INTEGER NOT NULL, run_id INTEGER NOT NULL, "
                         "segment INTEGER NOT NULL, race_number INTEGER NOT NULL, "
                         "round_name VARCHAR(20) NOT NULL, class_name VARCHAR(200) NOT NULL, "
                         "lane CHAR(1) NOT NULL, racer VARCHAR(200) NOT NULL, "
                         "car VARCHAR(200) NOT NULL, spare1 VARCHAR(200) NOT NULL, "
                         "spare2 VARCHAR(200) NOT NULL, reaction_time REAL, "
                         "timing_point1 REAL, timing_point2 REAL, timing_point3 REAL, "
                         "timing_point4 REAL, timing_point5 REAL, speed REAL, dial_in REAL, "
                         "elapsed_time REAL, win_margin REAL, result VARCHAR(20) NOT NULL, "
                         "state VARCHAR(10) NOT NULL, recorded VARCHAR(32) NOT NULL, "
                         "PRIMARY KEY (station, seq))"),
          QStringLiteral("CREATE INDEX pass_by_run ON pass (run_id, segment, seq)"),
          QStringLiteral("CREATE TABLE event_class (name VARCHAR(200) NOT NULL PRIMARY KEY, "
                         "position INTEGER NOT NULL, tree INTEGER NOT NULL, class_index REAL, "
                         "field_size INTEGER NOT NULL, ladder VARCHAR(10) NOT NULL)"),
          QStringLiteral("CREATE TABLE entry (id INTEGER NOT NULL PRIMARY KEY, "
                         "class_name VARCHAR(200) NOT NULL, racer VARCHAR(200) NOT NULL, "
                         "car VARCHAR(200) NOT NULL, car_number VARCHAR(20) NOT NULL, "
                         "dial_in REAL NOT NULL)")}},
        {2,
         {// A pass of an event round: its stage ('P' practice, 'Q' qualifying, 'E'
          // eliminations), round and pair, and the entry in the lane (0: none). Both lanes' rows
          // of one race share its heat, the seq of the race's first row.
          QStringLiteral("ALTER TABLE pass ADD COLUMN stage CHAR(1) NOT NULL DEFAULT 'P'"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN round_no INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN pair_no INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN heat INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN entry_id INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN outcome VARCHAR(20) NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE pass ADD COLUMN by_hand INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("CREATE INDEX pass_by_class ON pass (class_name, stage, state, heat)"),
          // The pairs a qualifying round was drawn into; entry 0 is the empty lane of an odd one.
          QStringLiteral("CREATE TABLE draw (class_name VARCHAR(200) NOT NULL, "
                         "round_no INTEGER NOT NULL, pair_no INTEGER NOT NULL, "
                         "left_entry INTEGER NOT NULL, right_entry INTEGER NOT NULL, "
                         "PRIMARY KEY (class_name, round_no, pair_no))"),
          // The operator's corrections, in the passes' sequence: a pass is never changed.
          QStringLiteral("CREATE TABLE correction (station VARCHAR(100) NOT NULL, "
                         "seq INTEGER NOT NULL, class_name VARCHAR(200) NOT NULL, "
                         "stage CHAR(1) NOT NULL, round_no INTEGER NOT NULL, "
                         "pair_no INTEGER NOT NULL, kind VARCHAR(10) NOT NULL, "
                         "pass_seq INTEGER NOT NULL, entry_id INTEGER NOT NULL, "
                         "reason VARCHAR(400) NOT NULL, recorded VARCHAR(32) NOT NULL, "
                         "PRIMARY KEY (station, seq))"),
          // A class's ladder seeding, fixed when its ladder starts, so that no later qualifying
          // pass or correction moves a racer who has raced in it.
          QStringLiteral("CREATE TABLE ladder_seed (class_name VARCHAR(200) NOT NULL, "
                         "position INTEGER NOT NULL, entry_id INTEGER NOT NULL, "
                         "PRIMARY KEY (class_name, position))")}},
        {3,
         {// The control epoch a pass was raced under on a station sharing the event through a
          // server (0: none). A pass of an older epoch that reaches the server after control
          // moved is kept in the state "Stale" and counts for no round.
          QStringLiteral("ALTER TABLE pass ADD COLUMN epoch INTEGER NOT NULL DEFAULT 0")}},
        {4,
         {// When an entry's car, number or dial-in last changed, at whichever station: between
          // stations sharing the event the later change wins.
          QStringLiteral("ALTER TABLE entry ADD COLUMN changed VARCHAR(32) NOT NULL DEFAULT ''")}},
        {5,
         {// How far a station's own passes had reached the event server when it last heard from
          // it, so that a station started without the server counts what waits.
          QStringLiteral("CREATE TABLE sent_to_server (station VARCHAR(100) NOT NULL PRIMARY KEY, "
                         "seq INTEGER NOT NULL)")}},
    };
    return schema;
}

} // namespace halvex
