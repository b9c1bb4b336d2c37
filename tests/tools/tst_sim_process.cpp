// The halvex-timing-sim program itself: its options, its link, its log and its shut-down.

#include "SlaveEnd.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using halvex::test::SlaveEnd;

namespace {

const QString kSimulator = QStringLiteral(HALVEX_TIMING_SIM_PATH);

const QByteArray kRaceReply = "0\n0\n412\n-23\n4100\n3900\n6300\n6200\n8300\n8100\n"
                              "10550\n10400\n10700\n10560\n0\n0\n0\n0\n!\n";

bool waitForLink(const QString& path, const QProcess& process)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo(path).isSymLink()) {
        if (process.state() != QProcess::Running || clock.elapsed() > 5000) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

} // namespace

class TestSimProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void answersAndLogsOverItsLink();
    void obeysMasksMalformedAndNever();
    void drawsTheSameRacesForTheSameSeed();
    void refusesBadOptions_data();
    void refusesBadOptions();

private:
    std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& link);
    static void stop(QProcess& process, int signal, const QString& link);
    QByteArray raceWithSeed(quint32 seed);

    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestSimProcess::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

std::unique_ptr<QProcess> TestSimProcess::start(const QStringList& arguments, const QString& link)
{
    auto process = std::make_unique<QProcess>();
    process->start(kSimulator, arguments);
    if (!process->waitForStarted(5000) || !waitForLink(link, *process)) {
        qWarning() << "simulator did not link" << link << process->readAllStandardError();
        return nullptr;
    }
    return process;
}

void TestSimProcess::stop(QProcess& process, int signal, const QString& link)
{
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimProcess::answersAndLogsOverItsLink()
{
    const QString link = m_folder->filePath(QStringLiteral("COM1"));
    const QString logPath = m_folder->filePath(QStringLiteral("unit.log"));
    const auto sim = start({QStringLiteral("--dir"), m_folder->path(), QStringLiteral("--log"),
                            logPath, QStringLiteral("--reply"),
                            QStringLiteral("0,0,412,-23,4100,3900,6300,6200,8300,8100,10550,"
                                           "10400,10700,10560,0,0,0,0")},
                           link);
    QVERIFY(sim);
    SlaveEnd line(link);
    QVERIFY(line.isOpen());

    for (const char* bytes : {"O\n", "X\n", "S\n", "A\n", "2500\n0\n", "B6000\n"}) {
        QVERIFY(line.write(bytes));
    }
    QElapsedTimer clock;
    clock.start();
    QVERIFY(line.write("N\n"));
    QCOMPARE(line.readUntil("!\n", 8000), kRaceReply);
    // Full tree 1.5 s, then the held-back left lane: 0.25 s late plus 1.07 s, then the bytes.
    QVERIFY2(clock.elapsed() >= 1500 + 250 + 1070 + kRaceReply.size(),
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY(line.write("T\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("0\n0\n!\n"));
    QVERIFY(line.write("GL8"));
    QTest::qWait(300);

    stop(*sim, SIGTERM, link);
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(),
             QByteArray("O\\n\nX\\n\nS\\n\nA\\n2500\\n0\\n\nB6000\\n\nN\\n\nT\\n\nGL8\n"));
    const QByteArray status = sim->readAllStandardError();
    QVERIFY2(status.startsWith("linked COM1 -> /dev/pts/"), status.constData());
    QVERIFY(status.endsWith('\n'));
    QCOMPARE(status.count('\n'), 1);
    QCOMPARE(sim->readAllStandardOutput(), QByteArray());
}

void TestSimProcess::obeysMasksMalformedAndNever()
{
    const QString link = m_folder->filePath(QStringLiteral("COM3"));
    auto sim = start({QStringLiteral("--dir"), m_folder->path(), QStringLiteral("--port"),
                      QStringLiteral("3"), QStringLiteral("--masks"), QStringLiteral("3,200"),
                      QStringLiteral("--malformed"), QStringLiteral("--delay-ms"),
                      QStringLiteral("0"), QStringLiteral("--quiet")},
                     link);
    QVERIFY(sim);
    {
        SlaveEnd line(link);
        QVERIFY(line.write("T\n"));
        QCOMPARE(line.readUntil("!\r\n", 3000), QByteArray("3\n200\n!\r\n"));
        QVERIFY(line.write("N\n"));
        const QByteArray race = line.readUntil("!\r\n", 3000);
        QVERIFY2(race.endsWith("\n0\n0\n0\n0\n!\r\n"), race.constData());
        QCOMPARE(race.count('\n'), 19);
    }
    stop(*sim, SIGINT, link);
    QCOMPARE(sim->readAllStandardOutput(), QByteArray("T\\n\nN\\n\n"));
    QCOMPARE(sim->readAllStandardError(), QByteArray());

    sim = start({QStringLiteral("--dir"), m_folder->path(), QStringLiteral("--port"),
                 QStringLiteral("3"), QStringLiteral("--never"), QStringLiteral("--delay-ms"),
                 QStringLiteral("0"), QStringLiteral("--quiet")},
                link);
    QVERIFY(sim);
    {
        SlaveEnd line(link);
        QVERIFY(line.write("N\nP\nT\n"));
        QCOMPARE(line.readFor(400), QByteArray());
    }
    stop(*sim, SIGTERM, link);
    QCOMPARE(sim->readAllStandardOutput(), QByteArray("N\\n\nP\\n\nT\\n\n"));
}

QByteArray TestSimProcess::raceWithSeed(quint32 seed)
{
    const QString link = m_folder->filePath(QStringLiteral("COM2"));
    const auto sim = start({QStringLiteral("--dir"), m_folder->path(), QStringLiteral("--port"),
                            QStringLiteral("2"), QStringLiteral("--seed"), QString::number(seed),
                            QStringLiteral("--delay-ms"), QStringLiteral("0")},
                           link);
    if (!sim) {
        return {};
    }
    QByteArray reply;
    {
        SlaveEnd line(link);
        line.write("P\n");
        reply = line.readUntil("!\n", 3000);
    }
    stop(*sim, SIGTERM, link);
    const QByteArray status = sim->readAllStandardError();
    if (!status.endsWith("\nrace seed " + QByteArray::number(seed) + '\n')) {
        qWarning() << status;
        return {};
    }
    return reply;
}

void TestSimProcess::drawsTheSameRacesForTheSameSeed()
{
    const QByteArray first = raceWithSeed(7);
    QCOMPARE(first.count('\n'), 19);
    QVERIFY(first.endsWith("\n!\n"));
    QCOMPARE(raceWithSeed(7), first);
    QVERIFY(raceWithSeed(8) != first);
}

void TestSimProcess::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const QString folder = QStringLiteral("FOLDER");
    QTest::newRow("no folder") << QStringList{} << QByteArray("--dir is required");
    QTest::newRow("missing folder")
        << QStringList{QStringLiteral("--dir"), folder + QStringLiteral("/none")}
        << QByteArray("does not exist");
    for (const char* port : {"0", "5", "x"}) {
        QTest::addRow("port %s", port)
            << QStringList{QStringLiteral("--dir"), folder, QStringLiteral("--port"),
                           QString::fromLatin1(port)}
            << QByteArray("--port must be 1 to 4");
    }
    QTest::newRow("reply") << QStringList{QStringLiteral("--dir"), folder,
                                          QStringLiteral("--reply"), QStringLiteral("1,x")}
                           << QByteArray("--reply must be whole numbers");
    QTest::newRow("one mask") << QStringList{QStringLiteral("--dir"), folder,
                                             QStringLiteral("--masks"), QStringLiteral("64")}
                              << QByteArray("--masks must be two whole numbers");
    QTest::newRow("negative delay")
        << QStringList{QStringLiteral("--dir"), folder, QStringLiteral("--delay-ms"),
                       QStringLiteral("-1")}
        << QByteArray("--delay-ms must be 0 to 3600000");
    QTest::newRow("seed") << QStringList{QStringLiteral("--dir"), folder, QStringLiteral("--seed"),
                                         QStringLiteral("-3")}
                          << QByteArray("--seed must be a whole number");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--dir"), folder, QStringLiteral("--baud")}
        << QByteArray("Unknown option 'baud'");
}

void TestSimProcess::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    arguments.replaceInStrings(QStringLiteral("FOLDER"), m_folder->path());

    QProcess sim;
    sim.start(kSimulator, arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 1);
    const QByteArray error = sim.readAllStandardError();
    QVERIFY2(error.contains(message), error.constData());
    QVERIFY(QDir(m_folder->path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_sim_process.moc"
