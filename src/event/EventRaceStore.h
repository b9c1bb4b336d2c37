#pragma once

#include "data/RaceStore.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace halvex {

class EventDatabase;

// The run's races kept as passes of an event database: without an event chosen, the day's
// practice event ("Practice 2026-12-06") in the program folder's "Events" folder, so that every
// pass of every run is kept. Each call writes in one synced transaction before it returns; a
// failed one is kept and written first with the next. The database opens at the first write or
// look-up, not at start-up.
class EventRaceStore final : public RaceStore
{
public:
    static inline const QString kFolderName = QStringLiteral("Events");
    static inline const QString kSuffix = QStringLiteral(".sqlite");

    // station: who writes the passes (the key of a pass is the station and its sequence number).
    EventRaceStore(QString programFolder, QDateTime started,
                   QString station = QStringLiteral("tower"));
    ~EventRaceStore() override;
    EventRaceStore(const EventRaceStore&) = delete;
    EventRaceStore& operator=(const EventRaceStore&) = delete;

    static QString practiceEventName(QDate day);
    // The file the passes go to: the chosen event's, else the day's practice event.
    QString path() const;
    // The following passes go to this event file; this run's row starts there anew, and what
    // could not be written before goes there too. Throws halvex::Failure, choosing nothing, when
    // the file cannot be opened or is read-only.
    void useEvent(const QString& eventPath);
    // An event of the operator's is chosen, rather than the day's practice event.
    bool eventChosen() const { return !m_chosen.isEmpty(); }
    // The passes that follow are raced under this control epoch of the shared event (0: the
    // event is not shared).
    void setEpoch(int epoch) { m_epoch = epoch; }
    // Who writes the passes from now on: the station's name on a shared event.
    void setStation(const QString& station) { m_station = station; }
    // The name of the event the passes go to.
    QString eventName() const;

    void raceShown(const RaceRecord& left, const RaceRecord& right,
                   const PassContext& context) override;
    void raceCommitted(const RaceRecord& left, const RaceRecord& right) override;
    void racesRestored(const std::vector<RaceRecord>& records) override;
    void logCleared(const QDateTime& now) override;
    void close() override;
    bool keptAll() const override { return m_backlog.empty(); }
    // Tries again what could not be written (Save Event copies the event whole); throws
    // halvex::Failure when it still cannot be.
    void writeBacklog();
    // Looks through the latest practice events of the folder, newest first.
    std::optional<Unfinished> findUnfinished() const override;
    void markClosed(const Unfinished& run) override;

    // One row of the pass table: a lane of a race as the station and run of `station`/`run` keep
    // it. Returns its seq.
    struct PassRow
    {
        QString station;
        qint64 run = 0;
        int segment = 0;
        QString state;
        RaceRecord record;
        std::optional<EventPairing> pairing;
        QString outcome;
        bool byHand = false;
        qint64 heat = 0; // 0: the row begins a race of its own
        int epoch = 0;   // the control epoch of a shared event; 0: not shared
    };
    static qint64 insertPass(EventDatabase& db, const PassRow& row);
    // The station's next number in the sequence its passes and corrections share.
    static qint64 nextSeq(const EventDatabase& db);

private:
    EventDatabase& database();
    // Adds the work to the backlog and writes the whole backlog in one transaction.
    void keep(std::function<void(EventDatabase&)> work);
    // A race's two rows; shown ones set `heat` to the race's heat, committed ones take it.
    void insertRace(EventDatabase& db, const RaceRecord& left, const RaceRecord& right,
                    const QString& state, int segment, const PassContext& context, qint64& heat);
    static std::vector<RaceRecord> racesOfRun(const EventDatabase& db, qint64 run);

    QString m_dir;
    QDateTime m_started;
    QString m_station;
    QString m_chosen;
    QString m_chosenName;
    std::unique_ptr<EventDatabase> m_db;
    std::vector<std::function<void(EventDatabase&)>> m_backlog;
    qint64 m_runId = 0;
    // The file and run that findUnfinished offered last, for markClosed.
    mutable std::pair<QString, qint64> m_offered;
    int m_segment = 0;
    int m_epoch = 0;
    PassContext m_lastContext; // the race shown last, which its commit goes with
    // The heat of the race shown last, which its commit's rows take. Set as its shown rows are
    // written, and set again when a failed write is tried again: a number a rolled-back
    // write gave out is given out anew.
    std::shared_ptr<qint64> m_lastHeat = std::make_shared<qint64>(0);
};

} // namespace halvex
