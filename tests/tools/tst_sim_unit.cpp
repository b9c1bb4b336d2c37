// The timing unit's behaviour without a line: how commands are cut and logged, what is answered
// with which bytes, and when.

#include "ByteEscape.h"
#include "CommandSplitter.h"
#include "FieldList.h"
#include "RaceDraw.h"
#include "TimingUnit.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace halvex::sim;

namespace {

const QList<qint32> kRace{0,    0,     412,   -23,   4100,  3900, 6300, 6200, 8300,
                          8100, 10550, 10400, 10700, 10560, 0,    0,    0,    0};
const QByteArray kRaceReply = "0\n0\n412\n-23\n4100\n3900\n6300\n6200\n8300\n8100\n"
                              "10550\n10400\n10700\n10560\n0\n0\n0\n0\n!\n";

} // namespace

class TestSimUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapesEveryByteReadably()
    {
        QCOMPARE(escapeBytes(QByteArray("A\n\r\\ ~\x00\x1f\x7f\x80\xff", 11)),
                 QByteArray("A\\n\\r\\\\ ~\\x00\\x1f\\x7f\\x80\\xff"));
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

    void parsesFieldLists()
    {
        QCOMPARE(parseFieldList(QStringLiteral(" 1 , -2 ")), (QList<qint32>{1, -2}));
        QCOMPARE(parseFieldList(QStringLiteral("-2147483648")), (QList<qint32>{-2147483647 - 1}));
        for (const char* bad : {"", " ", "1,,2", "1,x", "2147483648", "1.5", "1,"})
            QVERIFY2(!parseFieldList(QString::fromLatin1(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestSimUnit)
#include "tst_sim_unit.moc"
