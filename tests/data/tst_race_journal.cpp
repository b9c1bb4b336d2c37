#include "data/CsvText.h"
#include "data/RaceJournal.h"
#include "platform/Failure.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

using namespace halvex;
using namespace halvex::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(19, 5, 7));

RaceRecord lane(const QString& side, qint16 number, float reaction)
{
    RaceRecord r;
    r.ClassName = QStringLiteral("Stock, \"Pro\"");
    r.Racer = QStringLiteral("Zoë 雷\r\nline two");
    r.Car = side == u"L" ? QStringLiteral("Red Comet") : QString();
    r.Lane = side;
    r.RaceNumber = number;
    r.ReactionTime = reaction;
    r.TimingPoint = {0.1f, 1.0f / 3.0f, 0.78f, 0, 0};
    r.Speed = 123.456789f;
    r.DialIn = -0.0f;
    r.ElapsedTime = 1.0f - std::numeric_limits<float>::epsilon() / 2;
    r.WinMargin = std::numeric_limits<float>::denorm_min();
    r.Result = side == u"L" ? QStringLiteral("Win") : QStringLiteral("Lost");
    return r;
}

void addRace(RaceLog& log, qint16 number, float reaction)
{
    log.countRace();
    log.append(lane(QStringLiteral("L"), number, reaction),
               lane(QStringLiteral("R"), number, reaction / 2));
}

// The log's last race, committed to the journal.
void keepLast(RaceJournal& journal, const RaceLog& log)
{
    journal.raceCommitted(log.record(log.count() - 2), log.record(log.count() - 1));
}

QStringList journalFolder(const QTemporaryDir& dir)
{
    return QDir(dir.filePath(RaceJournal::kFolderName)).entryList(QDir::Files, QDir::Name);
}

QList<quint32> bits(const RaceRecord& r)
{
    QList<quint32> b{std::bit_cast<quint32>(r.ReactionTime), std::bit_cast<quint32>(r.Speed),
                     std::bit_cast<quint32>(r.DialIn), std::bit_cast<quint32>(r.ElapsedTime),
                     std::bit_cast<quint32>(r.WinMargin)};
    for (float p : r.TimingPoint)
        b.append(std::bit_cast<quint32>(p));
    return b;
}

} // namespace

class TestRaceJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvQuotesWhatNeedsIt()
    {
        QCOMPARE(csvLine({QStringLiteral("a,b"), QStringLiteral("say \"hi\""), QString(),
                          QStringLiteral("x")}),
                 QByteArray("\"a,b\",\"say \"\"hi\"\"\",,x\r\n"));
        QCOMPARE(parseCsv("a,\"b\r\nc\",\"\"\"\"\r\n,\n\"torn"),
                 (QList<QStringList>{
                     {QStringLiteral("a"), QStringLiteral("b\r\nc"), QStringLiteral("\"")},
                     {QString(), QString()}}));
    }

    void everyFieldComesBackAsItWas()
    {
        const RaceRecord left = lane(QStringLiteral("L"), 32767, -0.0412f);
        const RaceRecord right = lane(QStringLiteral("R"), 32767, 16777216.0f);
        const std::vector<RaceRecord> read =
            RaceJournal::readRaces(RaceJournal::headerLine() + RaceJournal::recordLine(left) +
                                   RaceJournal::recordLine(right));
        QCOMPARE(read.size(), std::size_t(2));
        QCOMPARE(read[0], left);
        QCOMPARE(read[1], right);
        // Compared by value -0 equals 0: the bits tell them apart.
        QCOMPARE(bits(read[0]), bits(left));
        QCOMPARE(bits(read[1]), bits(right));
        // Each single as the shortest text that reads back as itself.
        RaceRecord plain;
        plain.Lane = QStringLiteral("L");
        plain.ReactionTime = 1.0456f;
        plain.Speed = 0.0882f;
        plain.TimingPoint[0] = 1e-45f;
        QCOMPARE(RaceJournal::recordLine(plain),
                 QByteArray(",,,L,0,,,1.0456,1e-45,0,0,0,0,0.0882,0,0,0,,Committed\r\n"));
    }

    void onlyWholeRacesAreRead()
    {
        const RaceRecord l1 = lane(QStringLiteral("L"), 1, 0.5f);
        const RaceRecord r1 = lane(QStringLiteral("R"), 1, 0.5f);
        const RaceRecord l2 = lane(QStringLiteral("L"), 2, 0.5f);
        const RaceRecord r2 = lane(QStringLiteral("R"), 2, 0.5f);
        RaceRecord badNumber = r2;
        const QByteArray garbage = RaceJournal::recordLine(l2).replace("0.5", "0.5x");
        const QByteArray text = RaceJournal::headerLine() + RaceJournal::recordLine(l1) +
                                RaceJournal::recordLine(r1) + garbage +
                                RaceJournal::recordLine(r2) + RaceJournal::recordLine(l2) +
                                RaceJournal::recordLine(l1) + RaceJournal::recordLine(r2);
        // A torn row whose quoted name never ends, as a write cut off by a power cut leaves.
        const QByteArray torn = RaceJournal::recordLine(l2).left(40);
        const std::vector<RaceRecord> read = RaceJournal::readRaces(text + torn);
        // Race 2's left lane is garbage; the later left of race 1 has race 2's right after it.
        QCOMPARE(read, (std::vector<RaceRecord>{l1, r1}));
    }

    // A shown race is kept as it is shown; its commit takes its place. A race numbered as the one
    // before it (the log was cleared meanwhile) is a race of its own.
    void shownRacesAndTheirCommits()
    {
        const RaceRecord l1 = lane(QStringLiteral("L"), 1, 0.1f);
        const RaceRecord r1 = lane(QStringLiteral("R"), 1, 0.1f);
        RaceRecord l1Again = l1;
        l1Again.ReactionTime = 0.5f;
        using S = RaceJournal::RowState;
        const QByteArray text = RaceJournal::headerLine() + RaceJournal::recordLine(l1, S::Shown) +
                                RaceJournal::recordLine(r1, S::Shown) +
                                RaceJournal::recordLine(l1) + RaceJournal::recordLine(r1) +
                                RaceJournal::recordLine(l1Again, S::Shown) +
                                RaceJournal::recordLine(r1, S::Shown);
        QCOMPARE(RaceJournal::readRaces(text), (std::vector<RaceRecord>{l1, r1, l1Again, r1}));
        // Rows of a journal written before rows had a state count as committed.
        QByteArray old = RaceJournal::recordLine(l1);
        old.chop(QByteArrayLiteral(",Committed\r\n").size());
        QCOMPARE(RaceJournal::readRaces(old + "\r\n" + RaceJournal::recordLine(r1)),
                 (std::vector<RaceRecord>{l1, r1}));
    }

    void oneFilePerRunNamedByItsStart()
    {
        QTemporaryDir dir;
        RaceLog log;
        RaceJournal journal(dir.path(), kStart);
        QVERIFY(!QFileInfo::exists(dir.filePath(RaceJournal::kFolderName)));
        QCOMPARE(RaceJournal::findUnfinished(dir.path()), std::nullopt);

        addRace(log, 1, 0.1f);
        keepLast(journal, log);
        addRace(log, 2, 0.2f);
        keepLast(journal, log);
        QCOMPARE(journalFolder(dir), QStringList{QStringLiteral("2026-12-06 19-05-07.open.csv")});
        const auto found = RaceJournal::findUnfinished(dir.path());
        QVERIFY(found);
        QCOMPARE(found->races(), 2);
        QCOMPARE(found->records[3], log.record(3));

        // Cleared twice in the same second: the later files sort after the first.
        for (int i = 0; i < 10; ++i) {
            log.clear();
            journal.logCleared(kStart);
            addRace(log, 1, float(i));
            keepLast(journal, log);
        }
        QCOMPARE(journalFolder(dir).size(), 11);
        QCOMPARE(RaceJournal::findUnfinished(dir.path())->records[0].ReactionTime, 9.0f);
        QVERIFY(journalFolder(dir).contains(QStringLiteral("2026-12-06 19-05-07_11.open.csv")));

        // A clean quit closes the latest: nothing is unfinished, though older files are open
        // (files of another run killed earlier, already answered).
        QFile::rename(
            dir.filePath(RaceJournal::kFolderName + QStringLiteral("/2026-12-06 19-05-07.csv")),
            dir.filePath(RaceJournal::kFolderName +
                         QStringLiteral("/2026-12-06 19-05-07.open.csv")));
        journal.close();
        QVERIFY(journalFolder(dir).contains(QStringLiteral("2026-12-06 19-05-07_11.csv")));
        QCOMPARE(RaceJournal::findUnfinished(dir.path()), std::nullopt);
    }

    // A full disk is told in the system's own words, and nothing half-written stays.
    void aFullDisk()
    {
        if (geteuid() != 0)
            QSKIP("A small full disk needs a mount.");
        QTemporaryDir dir;
        const QString folder = dir.filePath(RaceJournal::kFolderName);
        QVERIFY(QDir().mkpath(folder));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=8k"), QStringLiteral("tmpfs"), folder}) != 0)
            QSKIP("This machine refuses the mount.");
        const auto unmount =
            qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {folder}); });
        RaceLog log;
        RaceJournal journal(dir.path(), kStart);
        QString failure;
        for (qint16 n = 1; failure.isEmpty() && n < 200; ++n) {
            addRace(log, n, 0.1f);
            try {
                keepLast(journal, log);
            } catch (const Failure& f) {
                failure = f.description();
            }
        }
        QCOMPARE(failure, QStringLiteral("No space left on device"));
        const std::vector<RaceRecord> kept = RaceJournal::readRaces(fileBytes(journal.path()));
        QCOMPARE(int(kept.size()), log.count() - 2);
        QVERIFY(fileBytes(journal.path()).endsWith("\r\n"));
    }

    void aFailedAppendIsCutBackAndTriedAgain()
    {
        QTemporaryDir dir;
        RaceLog log;
        RaceJournal journal(dir.path(), kStart);
        addRace(log, 1, 0.1f);
        keepLast(journal, log);
        const QByteArray first = fileBytes(journal.path());
        addRace(log, 2, 0.2f);

        // The file size limit holds for every user; past it, a write fails with EFBIG.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = first.size() + 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString failure;
        try {
            keepLast(journal, log);
        } catch (const Failure& f) {
            failure = f.description();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        // The write that filled the limit went through in part; the reason still comes back.
        QCOMPARE(failure, QStringLiteral("File too large"));
        QCOMPARE(fileBytes(journal.path()), first);
        QVERIFY(!journal.keptAll());

        // The next race's write takes the one that failed along.
        addRace(log, 3, 0.3f);
        keepLast(journal, log);
        QVERIFY(journal.keptAll());
        const std::vector<RaceRecord> read = RaceJournal::readRaces(fileBytes(journal.path()));
        QCOMPARE(read.size(), std::size_t(6));
        QCOMPARE(read[5], log.record(5));
    }

    void restoredRacesCountAsRaced()
    {
        RaceLog log;
        addRace(log, 1, 0.1f);
        std::vector<RaceRecord> earlier;
        for (qint16 n = 7; n < 7 + 300; ++n) {
            earlier.push_back(lane(QStringLiteral("L"), n, 0.1f));
            earlier.push_back(lane(QStringLiteral("R"), n, 0.1f));
        }
        // The log holds 250 races: one raced, 249 restored.
        QCOMPARE(log.restore(earlier), 249);
        QCOMPARE(log.count(), 500);
        QVERIFY(log.isFull());
        QCOMPARE(log.raceCounter(), qint16(7 + 248));
        QCOMPARE(log.record(2), earlier[0]);
    }
};

QTEST_GUILESS_MAIN(TestRaceJournal)
#include "tst_race_journal.moc"
