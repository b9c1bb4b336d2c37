#include "data/RaceJournal.h"

#include "data/CsvText.h"
#include "platform/Failure.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace halvex {

namespace {

const QString kOpenSuffix = QStringLiteral(".open.csv");
const QString kClosedSuffix = QStringLiteral(".csv");

// The shortest text that reads back as the same single ("1.0456", not "1.04560006"); the sign of
// a negative zero is kept.
QString numberText(float value)
{
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general)
            .ptr;
    return QString::fromLatin1(text.data(), end - text.data());
}

std::optional<float> singleFrom(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    float value = 0;
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    if (error != std::errc() || end != bytes.data() + bytes.size() || bytes.isEmpty())
        return std::nullopt;
    return value;
}

std::optional<RaceRecord> recordFrom(const QStringList& f)
{
    const bool stated =
        f.size() == RaceJournal::kFields && (f[18] == u"Shown" || f[18] == u"Committed");
    if ((!stated && f.size() != RaceJournal::kFields - 1) || (f[3] != u"L" && f[3] != u"R"))
        return std::nullopt;
    RaceRecord r;
    r.ClassName = f[0];
    r.Racer = f[1];
    r.Car = f[2];
    r.Lane = f[3];
    bool ok = false;
    const int number = f[4].toInt(&ok);
    if (!ok || number < 0 || number > 32767)
        return std::nullopt;
    r.RaceNumber = static_cast<qint16>(number);
    r.Spare1 = f[5];
    r.Spare2 = f[6];
    std::array<float*, 10> singles = {&r.ReactionTime,   &r.TimingPoint[0], &r.TimingPoint[1],
                                      &r.TimingPoint[2], &r.TimingPoint[3], &r.TimingPoint[4],
                                      &r.Speed,          &r.DialIn,         &r.ElapsedTime,
                                      &r.WinMargin};
    for (std::size_t i = 0; i < singles.size(); ++i) {
        const std::optional<float> value = singleFrom(f[7 + static_cast<qsizetype>(i)]);
        if (!value)
            return std::nullopt;
        *singles[i] = *value;
    }
    r.Result = f[17];
    return r;
}

// Makes a new directory entry (a file created or renamed) survive a power cut.
void syncDirectory(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Journal files sort by the time in their names; a second file of the same second carries "_2",
// "_3" and so on, which sorts after the first.
QStringList journalFiles(const QString& dir)
{
    QStringList names = QDir(dir).entryList({QStringLiteral("*.csv")}, QDir::Files);
    const auto key = [](const QString& name) {
        QString stem = name.endsWith(kOpenSuffix) ? name.chopped(kOpenSuffix.size())
                                                  : name.chopped(kClosedSuffix.size());
        const qsizetype mark = stem.lastIndexOf(u'_');
        bool numbered = false;
        const int n = mark < 0 ? 1 : stem.mid(mark + 1).toInt(&numbered);
        if (numbered)
            stem.truncate(mark);
        return std::pair(stem, numbered ? n : 1);
    };
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return key(a) < key(b); });
    return names;
}

} // namespace

RaceJournal::RaceJournal(QString programFolder, QDateTime started)
    : m_dir(QDir(programFolder).filePath(kFolderName)), m_started(std::move(started))
{}

RaceJournal::~RaceJournal() = default;

QByteArray RaceJournal::headerLine()
{
    return csvLine({QStringLiteral("Class"), QStringLiteral("Racer"), QStringLiteral("Car"),
                    QStringLiteral("Lane"), QStringLiteral("Race Number"),
                    QStringLiteral("Spare 1"), QStringLiteral("Spare 2"),
                    QStringLiteral("Reaction Time"), QStringLiteral("Timing Point 1"),
                    QStringLiteral("Timing Point 2"), QStringLiteral("Timing Point 3"),
                    QStringLiteral("Timing Point 4"), QStringLiteral("Timing Point 5"),
                    QStringLiteral("Speed"), QStringLiteral("Dial-In"),
                    QStringLiteral("Elapsed Time"), QStringLiteral("Win Margin"),
                    QStringLiteral("Result"), QStringLiteral("State")});
}

QByteArray RaceJournal::recordLine(const RaceRecord& r, RowState state)
{
    QStringList f{r.ClassName,
                  r.Racer,
                  r.Car,
                  r.Lane,
                  QString::number(r.RaceNumber),
                  r.Spare1,
                  r.Spare2,
                  numberText(r.ReactionTime)};
    for (float point : r.TimingPoint)
        f.append(numberText(point));
    f << numberText(r.Speed) << numberText(r.DialIn) << numberText(r.ElapsedTime)
      << numberText(r.WinMargin) << r.Result
      << (state == RowState::Shown ? QStringLiteral("Shown") : QStringLiteral("Committed"));
    return csvLine(f);
}

std::vector<RaceRecord> RaceJournal::readRaces(const QByteArray& text)
{
    std::vector<RaceRecord> races;
    // Whether the race last taken was only shown: its committed rows, when they follow, replace it.
    bool lastShown = false;
    std::optional<RaceRecord> left;
    bool leftShown = false;
    for (const QStringList& row : parseCsv(text)) {
        const std::optional<RaceRecord> r = recordFrom(row);
        if (!r) {
            left.reset();
            continue;
        }
        const bool shown = row.size() == kFields && row[18] == u"Shown";
        if (r->Lane == u"L") {
            left = r;
            leftShown = shown;
        } else if (left && left->RaceNumber == r->RaceNumber && leftShown == shown) {
            if (lastShown && !shown && races.back().RaceNumber == r->RaceNumber)
                races.resize(races.size() - 2);
            races.push_back(*left);
            races.push_back(*r);
            lastShown = shown;
            left.reset();
        }
    }
    return races;
}

void RaceJournal::open()
{
    if (!QDir().mkpath(m_dir))
        throw Failure(QStringLiteral("The folder \"%1\" cannot be created.").arg(m_dir));
    const QString stem = m_started.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString name = stem;
    for (int n = 2; QFileInfo::exists(QDir(m_dir).filePath(name + kOpenSuffix)) ||
                    QFileInfo::exists(QDir(m_dir).filePath(name + kClosedSuffix));
         ++n)
        name = stem + QStringLiteral("_%1").arg(n);
    m_file.setFileName(QDir(m_dir).filePath(name + kOpenSuffix));
    // Unbuffered: what a failed write left behind is on the file, where it can be cut back off.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        const QString why = m_file.errorString();
        m_file.setFileName(QString());
        throw Failure(why);
    }
    syncDirectory(m_dir);
}

void RaceJournal::append(const QByteArray& lines)
{
    m_backlog += lines;
    if (!m_file.isOpen())
        open();
    const qint64 whole = m_file.size();
    const QByteArray text = whole == 0 ? headerLine() + m_backlog : m_backlog;
    // A full disk first shows as a short write without an error; writing the rest then fails
    // with the reason, which is what the operator is told.
    qint64 written = 0;
    for (qint64 n = 0; written < text.size(); written += n) {
        n = m_file.write(text.constData() + written, text.size() - written);
        if (n <= 0)
            break;
    }
    // fdatasync: the rows and the file's new size are on the disk when it returns.
    if (written != text.size() || ::fdatasync(m_file.handle()) != 0) {
        const QString why = m_file.error() == QFileDevice::NoError
                                ? QString::fromLocal8Bit(strerror(errno))
                                : m_file.errorString();
        // The next append starts on a whole line.
        m_file.resize(whole);
        m_file.unsetError();
        throw Failure(why);
    }
    m_backlog.clear();
}

void RaceJournal::raceShown(const RaceRecord& left, const RaceRecord& right)
{
    append(recordLine(left, RowState::Shown) + recordLine(right, RowState::Shown));
}

void RaceJournal::raceCommitted(const RaceRecord& left, const RaceRecord& right)
{
    append(recordLine(left) + recordLine(right));
}

void RaceJournal::racesRestored(const std::vector<RaceRecord>& records)
{
    QByteArray lines;
    for (const RaceRecord& r : records)
        lines += recordLine(r);
    if (!lines.isEmpty())
        append(lines);
}

void RaceJournal::logCleared(const QDateTime& now)
{
    // Rows not yet on the disk belong to the races before the clear: they stay due, in the file
    // the next write opens.
    close();
    m_started = now;
}

void RaceJournal::close()
{
    if (!m_file.isOpen())
        return;
    m_file.close();
    try {
        markClosed(m_file.fileName());
    } catch (const Failure&) {
        // Left open, the journal is offered again at the next start: nothing is lost.
    }
    m_file.setFileName(QString());
}

void RaceJournal::markClosed(const QString& openPath)
{
    if (!openPath.endsWith(kOpenSuffix))
        return;
    const QString closed = openPath.chopped(kOpenSuffix.size()) + kClosedSuffix;
    if (!QFile::rename(openPath, closed))
        throw Failure(QStringLiteral("\"%1\" cannot be renamed.").arg(openPath));
    syncDirectory(QFileInfo(openPath).absolutePath());
}

std::optional<RaceStore::Unfinished> RaceJournal::findUnfinished() const
{
    return findUnfinished(QFileInfo(m_dir).absolutePath());
}

void RaceJournal::markClosed(const Unfinished& run)
{
    markClosed(run.name);
}

std::optional<RaceStore::Unfinished> RaceJournal::findUnfinished(const QString& programFolder)
{
    const QString dir = QDir(programFolder).filePath(kFolderName);
    const QStringList files = journalFiles(dir);
    if (files.isEmpty() || !files.last().endsWith(kOpenSuffix))
        return std::nullopt;
    QFile file(QDir(dir).filePath(files.last()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Unfinished found{file.fileName(), readRaces(file.readAll())};
    if (found.records.empty())
        return std::nullopt;
    return found;
}

} // namespace halvex
