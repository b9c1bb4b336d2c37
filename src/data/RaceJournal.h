#pragma once

#include "data/RaceStore.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <optional>
#include <vector>

namespace halvex {

// The store of the run's races as CSV files in the folder "Race Journal": one file per run (and
// per Clear Data), each row written and flushed to the disk before the call returns. The file of a
// run is named by the time the run (or the cleared log) started and ends in ".open.csv" until a
// clean quit renames it to ".csv". Every row carries its race's state, "Shown" or "Committed";
// a committed race is written again, so the file is only ever appended to. Nothing is ever
// deleted from the folder.
class RaceJournal final : public RaceStore
{
public:
    static inline const QString kFolderName = QStringLiteral("Race Journal");
    // The record's fields and the row's state.
    static constexpr int kFields = 19;

    enum class RowState
    {
        Shown,
        Committed
    };

    // programFolder: the folder the journal folder lives in. started: names the first file.
    RaceJournal(QString programFolder, QDateTime started);
    ~RaceJournal() override;
    RaceJournal(const RaceJournal&) = delete;
    RaceJournal& operator=(const RaceJournal&) = delete;

    void raceShown(const RaceRecord& left, const RaceRecord& right) override;
    void raceCommitted(const RaceRecord& left, const RaceRecord& right) override;
    void racesRestored(const std::vector<RaceRecord>& records) override;
    void logCleared(const QDateTime& now) override;
    void close() override;
    bool keptAll() const override { return m_backlog.isEmpty(); }
    std::optional<Unfinished> findUnfinished() const override;
    void markClosed(const Unfinished& run) override;

    // The file being written, empty before the first row.
    QString path() const { return m_file.fileName(); }

    // The latest journal of the folder when it was never closed, with its races.
    static std::optional<Unfinished> findUnfinished(const QString& programFolder);
    // Renames an unfinished journal to its closed name. Throws halvex::Failure.
    static void markClosed(const QString& openPath);

    // The file's lines; a single is written with 9 significant digits, which reads back as the
    // same single.
    static QByteArray headerLine();
    static QByteArray recordLine(const RaceRecord& record, RowState state = RowState::Committed);
    // The races of a journal's text, each once, in the order they were first kept: a committed
    // race replaces its shown rows. Rows that are not whole records (rows of an older journal
    // without a state count as committed) and races missing a lane are left out.
    static std::vector<RaceRecord> readRaces(const QByteArray& text);

private:
    void open();
    void append(const QByteArray& lines);

    QString m_dir;
    QDateTime m_started;
    QFile m_file;
    QByteArray m_backlog; // rows not on the disk yet
};

} // namespace halvex
