// The timing unit's behaviour without a line: how commands are cut and logged, what is answered
// with which bytes, and when.

#include "ByteEscape.h"
#include "CommandSplitter.h"
#include "FieldList.h"
#include "RaceDraw.h"
#include "TimingUnit.h"

#include <QTest>

#include <limits>

using namespace halvex::sim;
using std::chrono::milliseconds;

namespace {

QList<qint32> raceWithFinishes(qint32 left, qint32 right)
{
    QList<qint32> fields(kRaceFields, 0);
    fields[12] = left;
    fields[13] = right;
    return fields;
}

QList<qint32> fieldsOf(const QByteArray& reply)
{
    QList<qint32> fields;
    const QList<QByteArray> lines = reply.split('\n');
    for (qsizetype i = 0; i + 2 < lines.size(); ++i) { // the end mark and the empty tail
        fields.append(lines.at(i).toInt());
    }
    return fields;
}

} // namespace

class TestSimUnit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapesEveryByteReadably_data();
    void escapesEveryByteReadably();
    void cutsCommandsAtLineFeeds_data();
    void cutsCommandsAtLineFeeds();
    void formatsReplies();
    void drawsPlausibleRaces();
    void answersOnlyRacesAndPolls();
    void answersWhenTheRaceHasRun();
    void parsesFieldLists();
};

void TestSimUnit::escapesEveryByteReadably_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("logged");
    QTest::newRow("plain command") << QByteArray("O\n") << QByteArray("O\\n");
    QTest::newRow("handicap") << QByteArray("A\n2500\n0\n") << QByteArray("A\\n2500\\n0\\n");
    QTest::newRow("count-down") << QByteArray("B6000\n") << QByteArray("B6000\\n");
    QTest::newRow("carriage return") << QByteArray("N\r\n") << QByteArray("N\\r\\n");
    QTest::newRow("control and high bytes")
        << QByteArray("\x00\x1f\x7f\x80\xff", 5) << QByteArray("\\x00\\x1f\\x7f\\x80\\xff");
    QTest::newRow("printable edges and backslash") << QByteArray(" ~\\") << QByteArray(" ~\\\\");
    QTest::newRow("utf-8 letter") << QByteArray("\xc3\xa9") << QByteArray("\\xc3\\xa9");
    QTest::newRow("nothing") << QByteArray() << QByteArray();
}

void TestSimUnit::escapesEveryByteReadably()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, logged);
    QCOMPARE(escapeBytes(bytes), logged);
}

void TestSimUnit::cutsCommandsAtLineFeeds_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QByteArray>("unfinished");

    QTest::newRow("start-up in one chunk")
        << QList<QByteArray>{"O\nX\nS\n"} << QList<QByteArray>{"O\n", "X\n", "S\n"} << QByteArray();
    QTest::newRow("handicap letter and numbers written apart")
        << QList<QByteArray>{"A\n", "2500\n0\n"} << QList<QByteArray>{"A\n2500\n0\n"}
        << QByteArray();
    QList<QByteArray> bytewise;
    for (const char c : QByteArray("A\n-2500\n0\nN\n")) {
        bytewise.append(QByteArray(1, c));
    }
    QTest::newRow("byte by byte") << bytewise << QList<QByteArray>{"A\n-2500\n0\n", "N\n"}
                                  << QByteArray();
    QTest::newRow("count-down number on the letter's line")
        << QList<QByteArray>{"B4000\n"} << QList<QByteArray>{"B4000\n"} << QByteArray();
    QTest::newRow("handicap cut short by a command")
        << QList<QByteArray>{"A\n12\nN\n"} << QList<QByteArray>{"A\n12\n", "N\n"} << QByteArray();
    QTest::newRow("handicap without numbers")
        << QList<QByteArray>{"A\nP\n"} << QList<QByteArray>{"A\n", "P\n"} << QByteArray();
    QTest::newRow("blank before a number is no delay line")
        << QList<QByteArray>{"A\n 1\n0\n"} << QList<QByteArray>{"A\n", " 1\n", "0\n"}
        << QByteArray();
    QTest::newRow("lone minus is no delay line")
        << QList<QByteArray>{"A\n-\n"} << QList<QByteArray>{"A\n", "-\n"} << QByteArray();
    QTest::newRow("handicap waiting for its second number")
        << QList<QByteArray>{"A\n5\n"} << QList<QByteArray>{} << QByteArray("A\n5\n");
    QTest::newRow("last command without line feed")
        << QList<QByteArray>{"GL81\nN"} << QList<QByteArray>{"GL81\n"} << QByteArray("N");
    QTest::newRow("empty line and carriage return kept")
        << QList<QByteArray>{"\nN\r\n"} << QList<QByteArray>{"\n", "N\r\n"} << QByteArray();
}

void TestSimUnit::cutsCommandsAtLineFeeds()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QByteArray, unfinished);

    CommandSplitter splitter;
    QList<QByteArray> cut;
    for (const QByteArray& chunk : chunks) {
        cut += splitter.feed(chunk);
    }
    QCOMPARE(cut, commands);
    QCOMPARE(splitter.unfinished(), unfinished);
}

void TestSimUnit::formatsReplies()
{
    QCOMPARE(formatReply({0, 0, 123, -45}), QByteArray("0\n0\n123\n-45\n!\n"));
    QCOMPARE(formatReply({64, 0}, true), QByteArray("64\n0\n!\r\n"));
    QCOMPARE(formatReply({}), QByteArray("!\n"));
    QCOMPARE(formatReply({std::numeric_limits<qint32>::min()}), QByteArray("-2147483648\n!\n"));
}

void TestSimUnit::drawsPlausibleRaces()
{
    QRandomGenerator random(42);
    constexpr int races = 4000;
    int redLights = 0;
    int unfinished = 0;
    qint32 fastest = std::numeric_limits<qint32>::max();
    qint32 slowest = 0;
    for (int race = 0; race < races; ++race) {
        const QList<qint32> fields = drawRace(random);
        QCOMPARE(fields.size(), 18);
        for (const qsizetype unused : {0, 1, 14, 15, 16, 17}) {
            QCOMPARE(fields.at(unused), 0);
        }
        for (qsizetype lane = 0; lane < 2; ++lane) {
            const qint32 reaction = fields.at(2 + lane);
            QVERIFY2(reaction >= -300 && reaction <= 1000, qPrintable(QString::number(reaction)));
            redLights += reaction < 0 ? 1 : 0;
            QList<qint32> crossings; // sensor 1, 2, 3, trap, finish
            for (qsizetype pair = 2; pair <= 6; ++pair) {
                crossings.append(fields.at(2 * pair + lane));
            }
            if (crossings.last() == 0) {
                ++unfinished;
                // The car left the slot: once a sensor saw nothing, none after it did.
                const qsizetype reached = crossings.indexOf(0);
                for (qsizetype i = reached; i < crossings.size(); ++i) {
                    QCOMPARE(crossings.at(i), 0);
                }
                QVERIFY(reached <= 3);
            } else {
                QVERIFY(crossings.at(0) > 0);
                for (qsizetype i = 1; i < crossings.size(); ++i) {
                    QVERIFY2(crossings.at(i) > crossings.at(i - 1),
                             qPrintable(QStringLiteral("race %1 lane %2").arg(race).arg(lane)));
                }
                fastest = std::min(fastest, crossings.last());
                slowest = std::max(slowest, crossings.last());
                // The trap stands about 1/70 of the run before the finish.
                const qint32 run = crossings.last() - reaction;
                const qint32 trapGap = crossings.last() - crossings.at(3);
                QVERIFY(trapGap >= run * 9 / 700 && trapGap <= run * 11 / 700 + 1);
            }
        }
    }
    const int lanes = 2 * races;
    QVERIFY2(redLights > lanes * 3 / 100 && redLights < lanes * 8 / 100,
             qPrintable(QString::number(redLights)));
    QVERIFY2(unfinished > lanes / 100 && unfinished < lanes * 5 / 100,
             qPrintable(QString::number(unfinished)));
    QVERIFY(fastest >= 8500 && fastest < 9000);
    QVERIFY(slowest > 12500 && slowest <= 13000);

    QRandomGenerator again(7);
    QRandomGenerator same(7);
    QRandomGenerator other(8);
    const QList<qint32> first = drawRace(again);
    QCOMPARE(drawRace(same), first);
    QVERIFY(drawRace(other) != first);
}

void TestSimUnit::answersOnlyRacesAndPolls()
{
    TimingUnit unit(1);
    const QList<qint32> fields{0,    0,     412,   -23,   4100,  3900, 6300, 6200, 8300,
                               8100, 10550, 10400, 10700, 10560, 0,    0,    0,    0};
    unit.settings().raceFields = fields;
    const QByteArray raceReply = "0\n0\n412\n-23\n4100\n3900\n6300\n6200\n8300\n8100\n"
                                 "10550\n10400\n10700\n10560\n0\n0\n0\n0\n!\n";

    for (const char* command :
         {"O\n", "X\n", "Y\n", "S\n", "R\n", "GL21\n", "GR20\n", "GL81\n", "L\n", "B4000\n",
          "A\n0\n0\n", "A\n", "N\r\n", "n\n", "NP\n", " T\n", "N", "T"}) {
        QVERIFY2(!unit.handle(command), command);
    }
    QCOMPARE(unit.handle("N\n")->bytes, raceReply);
    QCOMPARE(unit.handle("P\n")->bytes, raceReply);
    QCOMPARE(unit.handle("T\n")->bytes, QByteArray("0\n0\n!\n"));

    unit.settings().mask1 = 255;
    unit.settings().mask2 = 128;
    QCOMPARE(unit.handle("T\n")->bytes, QByteArray("255\n128\n!\n"));
    unit.settings().rawDiagReply = QByteArray("1\n2\n3\n!\n");
    QCOMPARE(unit.handle("T\n")->bytes, QByteArray("1\n2\n3\n!\n"));
    unit.settings().rawDiagReply.reset();

    unit.settings().malformed = true;
    QVERIFY(unit.handle("N\n")->bytes.endsWith("\n10560\n0\n0\n0\n0\n!\r\n"));
    QCOMPARE(unit.handle("T\n")->bytes, QByteArray("255\n128\n!\r\n"));
    unit.settings().rawRaceReply = QByteArray("12\nx7\n!\n");
    QCOMPARE(unit.handle("P\n")->bytes, QByteArray("12\nx7\n!\n"));
    unit.settings().malformed = false;

    unit.settings().silent = true;
    QVERIFY(!unit.handle("N\n"));
    QVERIFY(!unit.handle("P\n"));
    QVERIFY(!unit.handle("T\n"));
    unit.settings().silent = false;
    QCOMPARE(unit.handle("N\n")->bytes, QByteArray("12\nx7\n!\n"));

    TimingUnit random(5);
    const QByteArray drawn = random.handle("N\n")->bytes;
    QCOMPARE(drawn.count('\n'), 19);
    QVERIFY(drawn.endsWith("\n0\n0\n0\n0\n!\n"));
    QVERIFY(!drawn.contains('\r'));
    QVERIFY(random.handle("N\n")->bytes != drawn);
}

void TestSimUnit::answersWhenTheRaceHasRun()
{
    TimingUnit unit(1);
    unit.settings().raceFields = raceWithFinishes(11000, 12000);
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{1500 + 1200});
    QCOMPARE(unit.handle("P\n")->delay, milliseconds{400 + 1200});
    QCOMPARE(unit.handle("T\n")->delay, milliseconds{0});

    // The left lane starts 0.25 s late, so it now finishes last.
    QVERIFY(!unit.handle("A\n2500\n0\n"));
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{1500 + 250 + 1100});
    QVERIFY(!unit.handle("A\n12\n")); // cut short: the delays stand
    QVERIFY(!unit.handle("B6000\n"));
    QCOMPARE(unit.handle("P\n")->delay, milliseconds{600 + 250 + 1100});

    unit.handle("A\n0\n0\n");
    unit.settings().raceFields = raceWithFinishes(9000, 0);
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{1500 + 2000});
    unit.settings().raceFields = QList<qint32>{0, 0, 300};
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{1500 + 2000});
    unit.settings().rawRaceReply = QByteArray("!\n");
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{1500 + 2000});
    unit.settings().rawRaceReply.reset();

    unit.handle("A\n99999\n0\n");
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{10000});

    unit.settings().answerDelay = milliseconds{250};
    QCOMPARE(unit.handle("N\n")->delay, milliseconds{250});
    QCOMPARE(unit.handle("T\n")->delay, milliseconds{250});
    unit.settings().answerDelay = milliseconds{0};
    QCOMPARE(unit.handle("P\n")->delay, milliseconds{0});

    TimingUnit random(9);
    const Answer answer = *random.handle("N\n");
    QCOMPARE(answer.delay, random.raceDuration(fieldsOf(answer.bytes), false));
    QVERIFY(answer.delay >= milliseconds{1500 + 850} && answer.delay <= milliseconds{1500 + 2000});
}

void TestSimUnit::parsesFieldLists()
{
    QCOMPARE(parseFieldList(QStringLiteral("0,0,512,-30")), (QList<qint32>{0, 0, 512, -30}));
    QCOMPARE(parseFieldList(QStringLiteral(" 1 , 2 ")), (QList<qint32>{1, 2}));
    QCOMPARE(parseFieldList(QStringLiteral("-2147483648")), (QList<qint32>{-2147483647 - 1}));
    for (const char* bad : {"", " ", "1,,2", "1,x", "2147483648", "1.5", "1,"}) {
        QVERIFY2(!parseFieldList(QString::fromLatin1(bad)), bad);
    }
}

QTEST_GUILESS_MAIN(TestSimUnit)
#include "tst_sim_unit.moc"
