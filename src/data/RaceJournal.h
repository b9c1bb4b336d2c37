#pragma once

#include "data/RaceLog.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <optional>
#include <vector>

namespace halvex {

// The race log's copy on disk: one CSV file per run (and per Clear Data) in the folder
// "Race Journal", every committed race appended and flushed to the disk before its commit
// returns, so that a crash, a power cut or a forced quit loses no committed race. The file of a
// run is named by the time the run (or the cleared log) started and ends in ".open.csv" until a
// clean quit renames it to ".csv". Nothing is ever deleted from the folder.
class RaceJournal
{
public:
    static inline const QString kFolderName = QStringLiteral("Race Journal");
    static constexpr int kFields = 18;

    // programFolder: the folder the journal folder lives in. started: names the first file.
    RaceJournal(QString programFolder, QDateTime started);
    ~RaceJournal();
    RaceJournal(const RaceJournal&) = delete;
    RaceJournal& operator=(const RaceJournal&) = delete;

    // Appends the log's committed records that the journal does not hold yet and flushes them to
    // the disk. The file is created at the first record. Throws halvex::Failure with the
    // description of what failed; a failed append is cut back off the file, and the next call
    // tries the same records again.
    void sync(const RaceLog& log);
    // The log was cleared: this file is closed and the next record starts a new one.
    void startNew(const QDateTime& now);
    // A clean quit: the file is marked closed.
    void close();
    // The file being written, empty before the first record.
    QString path() const { return m_file.fileName(); }

    // The latest journal of the folder when it was never closed, with its complete races.
    struct Unfinished
    {
        QString path;
        std::vector<RaceRecord> records; // two a race, left lane first
        int races() const { return static_cast<int>(records.size() / 2); }
    };
    static std::optional<Unfinished> findUnfinished(const QString& programFolder);
    // Renames an unfinished journal to its closed name. Throws halvex::Failure.
    static void markClosed(const QString& openPath);

    // The file's lines; a single is written with 9 significant digits, which reads back as the
    // same single.
    static QByteArray headerLine();
    static QByteArray recordLine(const RaceRecord& record);
    // The complete races of a journal's text; rows that are not whole records and races missing
    // a lane are left out.
    static std::vector<RaceRecord> readRaces(const QByteArray& text);

private:
    void open();

    QString m_dir;
    QDateTime m_started;
    QFile m_file;
    int m_written = 0; // log records held by the file
};

} // namespace halvex
