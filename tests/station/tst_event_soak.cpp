#include "PtyPeer.h"
#include "event/EventDatabase.h"
#include "station/ServerAddress.h"
#include "support/EventOperator.h"
#include "support/EventPasses.h"
#include "support/FaultFolder.h"
#include "support/WindowRig.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QSqlQuery>

#include <map>

using namespace halvex;
using namespace halvex::test;

namespace {

const QString kEventFile = QStringLiteral("Soak.sqlite");

QString digestOf(const QString& path)
{
    Event event(path);
    return eventDigest(EventRounds(event));
}

} // namespace

class TestEventSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Two classes of 32, one on each kind of ladder, two qualifying rounds each and both ladders
    // to their finals, raced through the windows against the simulated unit on a serial line,
    // the event on the event server with a display station following it. Every pass is once in
    // the tower's file and once in the display's, to the bit; every ladder pair goes to the
    // racer its race gave the win; memory stays put once the first round is run.
    void aWholeEventOnTheServerWithADisplayFollowing()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.writeSettings();
        rig.writeLists();
        rig.writeFile(kWindowStateFileName, windowStateLine(WindowRig::proTreeSetup()));
        QDir(rig.folder()).mkpath(QStringLiteral("Events"));
        const QString path = QDir(rig.folder()).filePath(QStringLiteral("Events/") + kEventFile);
        const QStringList classes{QStringLiteral("Stock"), QStringLiteral("Modified")};
        {
            auto event = Event::create(path, QStringLiteral("Soak"), QDate(2026, 12, 6),
                                       {{classes[0], 0, 0, 32, LadderKind::Fixed},
                                        {classes[1], 0, 0, 32, LadderKind::Repaired}});
            for (const QString& c : classes)
                for (int i = 1; i <= 32; ++i)
                    event->addEntry({0, c, QStringLiteral("%1 %2").arg(c).arg(i), {}, {}, 0});
        }
        const QString pgPort = qEnvironmentVariable("HALVEX_TEST_PG_PORT");
        rig.writeFile(ServerAddress::kFileName,
                      "[Server]\nDatabase=halvex\nHost=127.0.0.1\nPort=" + pgPort.toLatin1() +
                          "\nUser=tower\n\n[Station]\nName=tower1\nRole=tower\n");
        rig.store.setValue(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
                           QStringLiteral("Event"), QStringLiteral("Chosen"), path);
        sim::PtyPeer peer(rig.folder(), 1);
        peer.setRandomRaceReply();
        frmDragRacing& window = rig.startShown();

        window.mnuPutEventOnServer->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window.lblServer->text(),
                                  QStringLiteral("Event server online: this station has control"),
                                  20000);
        const QString schema =
            ServerAddress::load(QDir(rig.folder()).filePath(ServerAddress::kFileName))
                .shared.value(kEventFile);
        const QString displayFile = QDir(rig.folder()).filePath(QStringLiteral("display.sqlite"));
        QProcess display;
        display.start(qEnvironmentVariable("HALVEX_STATION"),
                      {QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                       QStringLiteral("--port"), pgPort, QStringLiteral("--user"),
                       QStringLiteral("display"), QStringLiteral("--station"),
                       QStringLiteral("display1"), schema, displayFile});
        QVERIFY(display.waitForStarted());

        Event event(path);
        EventRounds rounds(event);
        EventOperator op(*rig.app, rig.prompter, rounds);
        op.qualifyingRounds = 2;
        qint64 warm = 0;
        op.resultClosed = [&] {
            if (op.races() == 32)
                warm = residentKb();
        };
        const QString failed = op.run();
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        const qint64 grown = residentKb() - warm;
        if (kMemoryIsMeasurable)
            QVERIFY2(grown < 10 * 1024, qPrintable(QStringLiteral("%1 kB more").arg(grown)));

        // Every race the operator ran is one pass, its two lanes shown and committed once, in
        // the tower's file and in the display's, its times to the bit.
        const int races = op.races();
        QVERIFY(races >= 2 * (32 + 31));
        const QString counts =
            QStringLiteral("Committed %1 %2|Shown %1 %2").arg(2 * races).arg(races);
        QCOMPARE(passCounts(path), counts);
        QTRY_COMPARE_WITH_TIMEOUT(passCounts(displayFile), counts, 20000);
        const QString digest = eventDigest(rounds);
        QCOMPARE(digest.count(QStringLiteral("pass ")), races);
        QCOMPARE(digestOf(displayFile), digest);
        display.terminate();
        QVERIFY(display.waitForFinished());

        // Each ladder pair goes to the racer its one winning race gave the win.
        std::map<std::tuple<QString, int, int>, QList<qint64>> won;
        QSqlQuery q = event.database().run(
            QStringLiteral("SELECT class_name, round_no, pair_no, entry_id FROM pass WHERE "
                           "stage = 'E' AND state = 'Committed' AND result = 'Win'"));
        while (q.next())
            won[std::tuple(q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt())]
                << q.value(3).toLongLong();
        for (const QString& c : classes) {
            const Ladder ladder = rounds.ladder(c);
            QCOMPARE(ladder.rounds.size(), std::size_t(5));
            for (int r = 0; r < 5; ++r)
                for (int p = 0; p < int(ladder.rounds[size_t(r)].size()); ++p)
                    QCOMPARE(won[std::tuple(c, r, p)],
                             QList<qint64>({ladder.rounds[size_t(r)][size_t(p)].winner}));
            QCOMPARE(ladder.winner, ladder.rounds[4][0].winner);
        }

        // Nothing went wrong on the way: the operator was asked to start each ladder, no more.
        QStringList asked = rig.prompter.texts();
        asked.removeAll(QStringLiteral("No pair is waiting to run."));
        QStringList ladderQuestions;
        for (const QString& c : classes)
            ladderQuestions << QStringLiteral("Start the ladder of %1? Its qualifying is then "
                                              "over: no round can be drawn for the class any "
                                              "more.")
                                   .arg(c);
        QCOMPARE(asked, ladderQuestions);
        qInfo("%d races, %lld kB more after the first round", races, grown);
    }
};

QTEST_MAIN(TestEventSoak)
#include "tst_event_soak.moc"
