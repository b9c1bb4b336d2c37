// The simulator program on a real pseudo-terminal, seen from the program's end of the line. The
// peer that the window tests race against is proven by those tests.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

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

// Stops it as the operator would; it must end cleanly and take its link with it.
void stopSimulator(QProcess& sim, int signal, const QString& link)
{
    ::kill(pid_t(sim.processId()), signal);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

} // namespace

class TestSimLine : public QObject
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
        stopSimulator(sim, SIGTERM, com2);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // One command a line; the bytes without their line feed come last, as received.
        QCOMPARE(file.readAll(), QByteArray("O\\n\nA\\n2500\\n0\\n\nN\\n\nGL8\n"));
        const QByteArray status = sim.readAllStandardError();
        QVERIFY2(status.startsWith("linked COM2 -> /dev/pts/") && status.count('\n') == 1,
                 status.constData());
    }
};

QTEST_GUILESS_MAIN(TestSimLine)
#include "tst_sim_line.moc"
