#include "event/EventRaceStore.h"
#include "event/EventRounds.h"
#include "event/ResultsPage.h"
#include "platform/Failure.h"
#include "support/EventPasses.h"
#include "support/FakeServices.h"
#include "support/FaultFolder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cstring>

using namespace halvex;
using namespace halvex::test;

namespace {

QStringList texts(const QJsonValue& list, const QString& key)
{
    QStringList found;
    for (const QJsonValue& v : list.toArray())
        found.append(v[key].toString());
    return found;
}

} // namespace

class TestResultsPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Five entries qualify for a field of four and the ladder runs to its final, one pair rerun;
    // the page and the document published from the event's file show what the rounds show.
    void theResultsOfAnEventArePublished()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Club.sqlite"));
        auto event = Event::create(path, QStringLiteral("Night & <Day>"), QDate(2026, 12, 6),
                                   {{QStringLiteral("Stock"), 0, 0, 4, LadderKind::Fixed}});
        for (const char* name : {"Ann", "Bob\a", "Cy <Speedy> & Co", "Di", "Ed"})
            event->addEntry({0, QStringLiteral("Stock"), QString::fromLatin1(name),
                             QStringLiteral("Red"), QString::number(std::strlen(name)), 0});
        EventRounds rounds(*event);
        EventRaceStore store(dir.path(), QDateTime::currentDateTime());
        store.useEvent(path);
        const QString stock = QStringLiteral("Stock");
        QueuedRandom random;
        random.queue({0.0f, 0.99f, 0.5f, 0.0f});
        rounds.drawRound(stock, {1, 2, 3, 4, 5}, random);
        std::vector<CalledPair> calls = rounds.callOrder(); // Cy-Ed, Bob-Di, Ann alone
        raceCalledPair(store, rounds, calls[0], {0.5f, 0.4f}, {7.2f, 7.1f}, {101.5f, 102.25f});
        raceCalledPair(store, rounds, calls[1], {-0.1f, 0.4f}, {6.0f, 7.3f});
        raceCalledPair(store, rounds, calls[2], {0.5f, 0}, {7.4f, 0});
        rounds.startLadder(stock);
        calls = rounds.callOrder(); // Ed-Ann, Cy-Di
        const QDateTime at(QDate(2026, 12, 6), QTime(20, 15, 30));
        // The pair in the lanes is racing, not on deck.
        const QJsonObject called =
            resultsJson(rounds, at, rounds.setupFor(calls[0], false).second).object();
        QCOMPARE(called[u"nowRacing"][u"text"].toString(), QStringLiteral("Stock E1: Ed vs Ann"));
        QCOMPARE(called[u"onDeck"][u"text"].toString(),
                 QStringLiteral("Stock E1: Cy <Speedy> & Co vs Di"));
        QVERIFY(called[u"inTheHole"].isNull());

        raceCalledPair(store, rounds, calls[0], {0.5f, 0.5f}, {7.0f, 7.5f});
        raceCalledPair(store, rounds, calls[1], {0.5f, 0.5f}, {7.1f, 0});
        rounds.correct(stock, Stage::Eliminations,
                       {0, CorrectionKind::Rerun, 0, 1, rounds.ladder(stock).rounds[0][1].passes[0],
                        kNoEntry, QStringLiteral("lights")});
        raceCalledPair(store, rounds, rounds.callOrder()[0], {0.5f, 0.45f}, {7.3f, 7.2f});
        const CalledPair final = rounds.callOrder()[0];

        const QString web = dir.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(web));
        publishResults(web, resultsJson(rounds, at, rounds.setupFor(final, false).second));

        QJsonParseError error{};
        const QJsonObject doc =
            QJsonDocument::fromJson(fileBytes(web + QStringLiteral("/results.json")), &error)
                .object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc[u"event"].toObject(),
                 (QJsonObject{{"name", "Night & <Day>"}, {"date", "2026-12-06"}}));
        QCOMPARE(doc[u"generated"].toString(), QStringLiteral("2026-12-06T20:15:30"));
        QCOMPARE(doc[u"nowRacing"][u"text"].toString(), QStringLiteral("Stock Final: Ed vs Di"));
        QVERIFY(doc[u"onDeck"].isNull());

        // Each lane that held a racer, in the order run: the solo pass has one.
        const QJsonArray passes = doc[u"passes"].toArray();
        QCOMPARE(passes.size(), 11);
        QCOMPARE(QJsonDocument(passes[1].toObject()).toJson(QJsonDocument::Compact),
                 QByteArray(R"({"byHand":false,"car":"Red","class":"Stock","et":7.1,)"
                            R"("lane":"right","outcome":"win","pair":1,"racer":"Ed",)"
                            R"("round":"Q1","rt":0.4,"speed":102.25,"stage":"qualifying",)"
                            R"("void":false})"));
        QCOMPARE(bits(float(passes[0][u"et"].toDouble())), bits(7.2f));
        QVERIFY(passes[2][u"et"].isDouble() && passes[4][u"speed"].isNull());
        QStringList voids;
        for (const QJsonValue& p : passes)
            voids.append(p[u"void"].toBool() ? p[u"racer"].toString() : QString());
        QCOMPARE(voids.join(u','), QStringLiteral(",,,,,,,Cy <Speedy> & Co,Di,,"));
        QVERIFY(passes[8][u"et"].isNull()); // Di did not finish

        const QJsonObject stockDoc = doc[u"classes"][0].toObject();
        const QJsonValue order = stockDoc[u"qualifying"];
        QCOMPARE(texts(order, QStringLiteral("racer")),
                 (QStringList{"Ed", "Cy <Speedy> & Co", "Di", "Ann", "Bob\a"}));
        QCOMPARE(bits(float(order[0][u"et"].toDouble())), bits(7.1f));
        QVERIFY(order[3][u"bumpSpot"].toBool() && !order[2][u"bumpSpot"].toBool());
        QVERIFY(order[3][u"inField"].toBool() && !order[4][u"inField"].toBool());
        QVERIFY(!order[4][u"counted"].toBool() && order[4][u"et"].isNull()); // a red light

        const QJsonArray ladder = stockDoc[u"ladder"][u"rounds"].toArray();
        QCOMPARE(texts(ladder, QStringLiteral("name")), (QStringList{"E1", "Final"}));
        const QJsonValue firstRound = ladder[0][u"pairs"];
        QCOMPARE(texts(firstRound, QStringLiteral("winner")), (QStringList{"Ed", "Di"}));
        QCOMPARE(texts(firstRound, QStringLiteral("note")), (QStringList{"", "Rerun"}));
        QCOMPARE(firstRound[1][u"right"].toObject(), (QJsonObject{{"racer", "Di"},
                                                                  {"number", "2"},
                                                                  {"etText", "7.200"},
                                                                  {"rtText", "0.450"},
                                                                  {"winner", true}}));
        QCOMPARE(ladder[1][u"pairs"][0][u"state"].toString(), QStringLiteral("open"));
        QVERIFY(stockDoc[u"ladder"][u"winner"].isNull());
        QCOMPARE(stockDoc[u"results"].toArray().size(), 5);

        // The page reads as XML, even with a control character in a name, and shows the names
        // and the times as the rounds do.
        const QByteArray html = fileBytes(web + QStringLiteral("/index.html"));
        QXmlStreamReader xml(html);
        QString shown;
        bool viewport = false;
        while (!xml.atEnd()) {
            xml.readNext();
            // Texts between tags, each closed by "|".
            if (xml.isCharacters())
                shown += xml.text();
            else if (xml.isStartElement() || xml.isEndElement())
                shown += u'|';
            if (xml.isStartElement() && xml.name() == u"meta")
                viewport =
                    viewport || (xml.attributes().value(QStringLiteral("name")) == u"viewport" &&
                                 xml.attributes().value(QStringLiteral("content")) ==
                                     u"width=device-width, initial-scale=1");
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(viewport);
        for (const char* expected : {"|Night & <Day>|", "|Cy <Speedy> & Co #16|", "|Bob\uFFFD|",
                                     "|7.100|", "|Now racing:| Stock Final: Ed vs Di|", "|102.25|"})
            QVERIFY2(shown.contains(QString::fromUtf8(expected)), expected);
    }

    // A folder that is not there or refuses new files: the page that was there stays as it was.
    void aFolderThatCannotBeWrittenKeepsTheOldPage()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::Permissions(0x7755)));
        const QString web = dir.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(web));
        writeFile(web + QStringLiteral("/index.html"), "old page");
        QVERIFY(QFile::setPermissions(web, QFile::Permissions(0x5555)));
        const QJsonDocument doc(QJsonObject{{"event", QJsonObject{{"name", "Club"}}}});
        const auto failure = [&doc](const QString& folder) {
            return failureOf([&] { publishResults(folder, doc); }).description();
        };
        QCOMPARE(failure(dir.filePath(QStringLiteral("gone"))),
                 QStringLiteral("The results could not be published to the folder \"%1\": there "
                                "is no such folder.")
                     .arg(dir.filePath(QStringLiteral("gone"))));
        {
            const AsOrdinaryUser user;
            QVERIFY(failure(web).startsWith(
                QStringLiteral("The results could not be published to the folder \"%1\": ")
                    .arg(web)));
        }
        QCOMPARE(fileBytes(web + QStringLiteral("/index.html")), QByteArray("old page"));
        QCOMPARE(QDir(web).entryList(QDir::Files), QStringList{"index.html"});
    }
};

QTEST_GUILESS_MAIN(TestResultsPage)
#include "tst_results_page.moc"
