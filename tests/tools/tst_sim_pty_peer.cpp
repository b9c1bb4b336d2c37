// The pty peer over a real pseudo-terminal, seen from the program's side of the line.

#include "PtyPeer.h"
#include "SlaveEnd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

using halvex::sim::PtyPeer;
using halvex::test::SlaveEnd;

namespace {

const QList<qint32> kRace{0,    0,     412,   -23,   4100,  3900, 6300, 6200, 8300,
                          8100, 10550, 10400, 10700, 10560, 0,    0,    0,    0};
const QByteArray kRaceReply = "0\n0\n412\n-23\n4100\n3900\n6300\n6200\n8300\n8100\n"
                              "10550\n10400\n10700\n10560\n0\n0\n0\n0\n!\n";

} // namespace

class TestSimPtyPeer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void linksAndUnlinksThePort();
    void recordsCommandsAsSent();
    void answersWithScriptedReplies();
    void answersRacesWithRandomTimes();
    void pacesAt9600Baud();
    void sendsStrayBytesAtOnce();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestSimPtyPeer::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void TestSimPtyPeer::linksAndUnlinksThePort()
{
    const QString com1 = m_folder->filePath(QStringLiteral("COM1"));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), com1));
    {
        auto first = std::make_unique<PtyPeer>(m_folder->path(), 1);
        QVERIFY2(first->isOpen(), qPrintable(first->errorString()));
        QVERIFY(first->devicePath().startsWith(QStringLiteral("/dev/pts/")));
        QCOMPARE(first->linkPath(), com1);
        QCOMPARE(QFile::symLinkTarget(com1), first->devicePath());
        // Raw 9600 8N1 before anyone sets it: no echo, no line editing, no LF to CR LF.
        const int fd = ::open(QFile::encodeName(com1).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        termios line{};
        QCOMPARE(::tcgetattr(fd, &line), 0);
        ::close(fd);
        QCOMPARE(::cfgetispeed(&line), speed_t{B9600});
        QCOMPARE(::cfgetospeed(&line), speed_t{B9600});
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
        QCOMPARE(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{0});
        QCOMPARE(line.c_oflag & OPOST, tcflag_t{0});
        QCOMPARE(line.c_iflag & (ICRNL | IXON), tcflag_t{0});

        PtyPeer third(m_folder->path(), 3);
        QVERIFY(third.isOpen());
        QCOMPARE(QFile::symLinkTarget(m_folder->filePath(QStringLiteral("COM3"))),
                 third.devicePath());
        QVERIFY(third.devicePath() != first->devicePath());
        {
            PtyPeer gone(m_folder->path(), 2);
        }
        QVERIFY(!QFileInfo(m_folder->filePath(QStringLiteral("COM2"))).isSymLink());

        PtyPeer second(m_folder->path(), 1);
        QCOMPARE(QFile::symLinkTarget(com1), second.devicePath());
        // The replaced peer going away must not take its successor's link with it.
        first.reset();
        QCOMPARE(QFile::symLinkTarget(com1), second.devicePath());
    }
    QVERIFY(!QFileInfo(com1).isSymLink());
    QVERIFY(!QFileInfo(m_folder->filePath(QStringLiteral("COM3"))).isSymLink());
    QCOMPARE(
        QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
        QStringList{});

    PtyPeer nowhere(m_folder->filePath(QStringLiteral("missing")), 1);
    QVERIFY(!nowhere.isOpen());
    QVERIFY(nowhere.errorString().contains(QStringLiteral("missing")));
    nowhere.sendNow("1\n!\n"); // must not crash without a line
    QCOMPARE(nowhere.commands(), QList<QByteArray>{});
}

void TestSimPtyPeer::recordsCommandsAsSent()
{
    PtyPeer peer(m_folder->path(), 2);
    QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
    SlaveEnd line(peer.linkPath());
    QVERIFY(line.isOpen());

    const QList<QByteArray> writes{"O\n", "X\n",       "S\n",     "GL21\n", "GR21\n",
                                   "A\n", "2500\n0\n", "B6000\n", "GL81\n", "L\n"};
    for (const QByteArray& bytes : writes) {
        QVERIFY(line.write(bytes));
    }
    QVERIFY(peer.waitForCommands(9, 3000));
    QCOMPARE(peer.commands(), (QList<QByteArray>{"O\n", "X\n", "S\n", "GL21\n", "GR21\n",
                                                 "A\n2500\n0\n", "B6000\n", "GL81\n", "L\n"}));
    QCOMPARE(peer.received(), writes.join());
    QVERIFY(!peer.waitForCommands(10, 50));
    QCOMPARE(line.readFor(100), QByteArray()); // none of these is answered

    peer.clear();
    QCOMPARE(peer.commands(), QList<QByteArray>{});
    QCOMPARE(peer.received(), QByteArray());
    QVERIFY(line.write("N"));
    QVERIFY(!peer.waitForCommands(1, 100)); // no line feed, no command
    QCOMPARE(peer.received(), QByteArray("N"));
}

void TestSimPtyPeer::answersWithScriptedReplies()
{
    PtyPeer peer(m_folder->path(), 1);
    QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
    SlaveEnd line(peer.linkPath());
    QVERIFY(line.isOpen());

    peer.setRaceReply(kRace);
    QVERIFY(line.write("N\n"));
    QCOMPARE(line.readUntil("!\n", 3000), kRaceReply);
    QVERIFY(line.write("P\n"));
    QCOMPARE(line.readUntil("!\n", 3000), kRaceReply);

    QVERIFY(line.write("T\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("0\n0\n!\n"));
    peer.setMasks(64, 0);
    QVERIFY(line.write("T\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("64\n0\n!\n"));
    peer.setRawDiagReply("255\n255\n7\n!\n");
    QVERIFY(line.write("T\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("255\n255\n7\n!\n"));

    peer.setRawRaceReply("12\nx7\n!\n");
    QVERIFY(line.write("N\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("12\nx7\n!\n"));
    peer.setRaceReply({5, 6});
    QVERIFY(line.write("P\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("5\n6\n!\n"));
    QCOMPARE(line.readFor(50), QByteArray());
}

void TestSimPtyPeer::answersRacesWithRandomTimes()
{
    PtyPeer peer(m_folder->path(), 1, 1234);
    QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
    SlaveEnd line(peer.linkPath());

    QByteArray previous;
    for (int race = 0; race < 3; ++race) {
        QVERIFY(line.write("N\n"));
        const QByteArray reply = line.readUntil("!\n", 3000);
        QVERIFY2(reply.endsWith("\n!\n"), reply.constData());
        QVERIFY(!reply.contains('\r'));
        QVERIFY(reply != previous);
        previous = reply;

        QList<QByteArray> fields = reply.split('\n');
        QCOMPARE(fields.size(), 20); // 18 fields, the end mark, the empty tail
        QCOMPARE(fields.at(18), QByteArray("!"));
        for (qsizetype i = 0; i < 18; ++i) {
            bool number = false;
            fields.at(i).toInt(&number);
            QVERIFY2(number, fields.at(i).constData());
        }
        for (qsizetype lane = 0; lane < 2; ++lane) {
            if (fields.at(12 + lane).toInt() == 0) {
                continue; // this car did not finish
            }
            for (qsizetype pair = 3; pair <= 6; ++pair) {
                QVERIFY(fields.at(2 * pair + lane).toInt() >
                        fields.at(2 * pair - 2 + lane).toInt());
            }
        }
    }
}

void TestSimPtyPeer::pacesAt9600Baud()
{
    PtyPeer peer(m_folder->path(), 1);
    QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
    SlaveEnd line(peer.linkPath());
    peer.setRaceReply(kRace);
    const auto atLineRate = [](qsizetype bytes) { return qint64{bytes} * 1'000'000; }; // ns

    QElapsedTimer clock;
    clock.start();
    QVERIFY(line.write("N\n"));
    QCOMPARE(line.readUntil("!\n", 3000), kRaceReply);
    qint64 elapsed = clock.nsecsElapsed();
    QVERIFY2(elapsed >= atLineRate(kRaceReply.size()), qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < atLineRate(kRaceReply.size()) * 105 / 100 + 1'000'000'000,
             qPrintable(QString::number(elapsed)));

    peer.setAnswerDelay(250);
    clock.restart();
    QVERIFY(line.write("T\n"));
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("0\n0\n!\n"));
    elapsed = clock.nsecsElapsed();
    QVERIFY2(elapsed >= 250'000'000 + atLineRate(6), qPrintable(QString::number(elapsed)));

    // Bytes that are due while the previous reply is still on the line wait for it.
    peer.setAnswerDelay(0);
    clock.restart();
    QVERIFY(line.write("N\nN\n"));
    QCOMPARE(line.readUntil(kRaceReply + kRaceReply, 3000), kRaceReply + kRaceReply);
    elapsed = clock.nsecsElapsed();
    QVERIFY2(elapsed >= atLineRate(2 * kRaceReply.size()), qPrintable(QString::number(elapsed)));
}

void TestSimPtyPeer::sendsStrayBytesAtOnce()
{
    PtyPeer peer(m_folder->path(), 4);
    QVERIFY2(peer.isOpen(), qPrintable(peer.errorString()));
    SlaveEnd line(peer.linkPath());

    peer.sendNow("9\n!\n");
    QCOMPARE(line.readUntil("!\n", 3000), QByteArray("9\n!\n"));
    QCOMPARE(peer.commands(), QList<QByteArray>{});

    // A stray reply pushed while the unit is still working arrives ahead of the real answer.
    peer.setAnswerDelay(300);
    QVERIFY(line.write("T\n"));
    QVERIFY(peer.waitForCommands(1, 3000));
    peer.sendNow("5\n");
    QCOMPARE(line.readUntil("0\n0\n!\n", 3000), QByteArray("5\n0\n0\n!\n"));
}

QTEST_GUILESS_MAIN(TestSimPtyPeer)
#include "tst_sim_pty_peer.moc"
