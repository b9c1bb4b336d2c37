// The timing unit simulator: how commands are cut and logged, what is answered with which bytes
// and when, and the program on a real pseudo-terminal, seen from the program's end of the line.
// The peer that the window tests race against is proven by those tests.

#include "ByteEscape.h"
#include "CommandSplitter.h"
#include "FieldList.h"
#include "RaceDraw.h"
#include "TimingUnit.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace halvex::sim;

namespace {

const QList<qint32> kRace{0,    0,     412,   -23,   4100,  3900, 6300, 6200, 8300,
                          8100, 10550, 10400, 10700, 10560, 0,    0,    0,    0};
const QByteArray kRaceReply = "0\n0\n412\n-23\n4100\n3900\n6300\n6200\n8300\n8100\n"
                              "10550\n10400\n10700\n10560\n0\n0\n0\n0\n!\n";

// The program's end, opened as the program opens its port. Its line settings are left as the
// unit set them: raw, so every byte passes unchanged both ways.
class Line
{
public:
    explicit Line(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {}
    ~Line() { ::close(m_fd); }
    Q_DISABLE_COPY_MOVE(Line)

    bool write(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // What arrives until the bytes end with `end` (all of it when `end` is empty) or time is up.
    QByteArray read(const QByteArray& end, int timeoutMs)
    {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        for (qint64 left = timeoutMs; left > 0 && (end.isEmpty() || !bytes.endsWith(end));
             left = timeoutMs - clock.elapsed()) {
            pollfd fd{m_fd, POLLIN, 0};
            char buffer[256];
            const ssize_t count = ::poll(&fd, 1, int(left)) > 0 ? ::read(m_fd, buffer, 256) : 0;
            bytes.append(buffer, std::max<ssize_t>(count, 0));
        }
        return bytes;
    }

private:
    int m_fd;
};

// Starts the simulator and waits until it has linked its port.
bool startSimulator(QProcess& sim, const QStringList& arguments, const QString& link)
{
    sim.start(QStringLiteral(HALVEX_TIMING_SIM_PATH), arguments);
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo(link).isSymLink() && clock.elapsed() < 5000 &&
           sim.state() != QProcess::NotRunning)
        QTest::qWait(10);
    return QFileInfo(link).isSymLink();
}

} // namespace

class TestTimingSim : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void theSimulatorAnswersAndLogsUntilStopped()
    {
        const QString com2 = path("COM2");
        const QString log = path("unit.log");
        QProcess sim;
        QVERIFY(startSimulator(sim,
                               {"--dir", folder.path(), "--port", "2", "--log", log, "--reply",
                                "0,0,412,-23,4100,3900,6300,6200,8300,8100,10550,10400,10700,"
                                "10560,0,0,0,0",
                                "--delay-ms", "0"},
                               com2));
        {
            Line line(com2);
            for (const char* bytes : {"O\n", "A\n", "2500\n0\n", "N\n"})
                QVERIFY(line.write(bytes));
            QCOMPARE(line.read("!\n", 3000), kRaceReply);
            QVERIFY(line.write("GL8"));
            QTest::qWait(300);
        }
        // Stopped as the operator would, it ends cleanly and takes its link with it.
        ::kill(pid_t(sim.processId()), SIGTERM);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(com2).isSymLink());
        // One command a line; the bytes without their line feed come last, as received.
        QCOMPARE(halvex::test::fileBytes(log), QByteArray("O\\n\nA\\n2500\\n0\\n\nN\\n\nGL8\n"));
        const QByteArray status = sim.readAllStandardError();
        QVERIFY2(status.startsWith("linked COM2 -> /dev/pts/") && status.count('\n') == 1,
                 status.constData());
    }

    // One stream of writes a row of command-cuts.tsv.
    void cutsCommandsAtLineFeeds_data()
    {
        halvex::test::addTableRows(QFINDTESTDATA("command-cuts.tsv"), 4);
    }
    void cutsCommandsAtLineFeeds()
    {
        QFETCH(QStringList, row);
        CommandSplitter splitter;
        QList<QByteArray> cut;
        for (const QString& chunk : row[1].split(u'|'))
            cut += splitter.feed(chunk.toLatin1());
        QCOMPARE(QString::fromLatin1(cut.join('|')), row[2]);
        QCOMPARE(QString::fromLatin1(splitter.unfinished()), row[3]);
    }

    void answersOnlyRacesAndPolls()
    {
        TimingUnit unit(1);
        unit.settings().raceFields = kRace;
        for (const char* command :
             {"O\n", "X\n", "Y\n", "S\n", "R\n", "GL21\n", "GR20\n", "L\n", "B4000\n", "A\n0\n0\n",
              "A\n", "N\r\n", "n\n", "NP\n", " T\n", "N", "T"})
            QVERIFY2(!unit.handle(command), command);
        QCOMPARE(unit.handle("N\n")->bytes, kRaceReply);
        QCOMPARE(unit.handle("P\n")->bytes, kRaceReply);
        QCOMPARE(unit.handle("T\n")->bytes, QByteArray("0\n0\n!\n"));
        unit.settings().mask1 = 255;
        unit.settings().mask2 = 128;
        QCOMPARE(unit.handle("T\n")->bytes, QByteArray("255\n128\n!\n"));

        unit.settings().malformed = true;
        QCOMPARE(unit.handle("N\n")->bytes, kRaceReply.chopped(1) + "\r\n");
        QCOMPARE(unit.handle("T\n")->bytes, QByteArray("255\n128\n!\r\n"));
        // Raw replies go out exactly as given.
        unit.settings().rawRaceReply = QByteArray("12\nx7\n!\n");
        unit.settings().rawDiagReply = QByteArray("1\n2\n3\n!\n");
        QCOMPARE(unit.handle("P\n")->bytes, QByteArray("12\nx7\n!\n"));
        QCOMPARE(unit.handle("T\n")->bytes, QByteArray("1\n2\n3\n!\n"));

        unit.settings().silent = true;
        for (const char* command : {"N\n", "P\n", "T\n"})
            QVERIFY2(!unit.handle(command), command);

        // Without scripted fields, races are drawn from the seed, and each is answered once run.
        TimingUnit seeded(5);
        QRandomGenerator same(5);
        const QList<qint32> first = drawRace(same);
        const Answer answer = *seeded.handle("N\n");
        QCOMPARE(answer.bytes, formatReply(first));
        QCOMPARE(answer.delay, seeded.raceDuration(first, false));
        QCOMPARE(seeded.handle("N\n")->bytes, formatReply(drawRace(same)));
    }

    void aCarPassesTheStrip()
    {
        using std::chrono::milliseconds;
        using Masks = std::pair<qint32, qint32>;
        // Step by step: pre-stage, stage, intermediate 1, 2, 3, trap, finish, gone; the right
        // lane one step behind, and the whole pass over again.
        const QList<Masks> steps{{4, 0},  {16 + 8, 0},  {64 + 32, 0}, {128, 4}, {1, 8},
                                 {2, 16}, {0, 64 + 32}, {0, 128},     {4, 0}};
        for (qsizetype i = 0; i < steps.size(); ++i)
            QCOMPARE(passMasks(milliseconds(i * 250 + 249), milliseconds(250)), steps[i]);
    }

    // The log escapes every byte readably; the command line's field lists are whole numbers.
    void textsOfTheLogAndTheCommandLine()
    {
        QCOMPARE(escapeBytes(QByteArray("A\n\r\\ ~\x00\x1f\x7f\x80\xff", 11)),
                 QByteArray("A\\n\\r\\\\ ~\\x00\\x1f\\x7f\\x80\\xff"));
        QCOMPARE(parseFieldList(QStringLiteral(" 1 , -2 ")), (QList<qint32>{1, -2}));
        QCOMPARE(parseFieldList(QStringLiteral("-2147483648")), (QList<qint32>{-2147483647 - 1}));
        for (const char* bad : {"", " ", "1,,2", "1,x", "2147483648", "1.5", "1,"})
            QVERIFY2(!parseFieldList(QString::fromLatin1(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestTimingSim)
#include "tst_timing_sim.moc"
