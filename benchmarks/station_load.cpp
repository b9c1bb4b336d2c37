// The event server under a tower and ten display stations: 500 races written by the tower, each
// display a halvex-station process of its own; for every race and display, the time from the
// pass written in the tower's file to the display's copy showing it. Prints the median, the 99th
// percentile and the worst, in milliseconds.
// Usage: halvex-station-load PORT STATION_PROGRAM [races] [displays] [gap_ms]
// against a server made by scripts/event-server.sh start (users tower and display).
#include "event/Event.h"
#include "event/EventRaceStore.h"
#include "station/EventSync.h"
#include "station/StationLink.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace halvex;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: halvex-station-load PORT STATION_PROGRAM [races] [displays] [gap_ms]\n",
                   stderr);
        return 2;
    }
    const int port = args[1].toInt();
    const QString stationProgram = args[2];
    const int races = args.size() > 3 ? args[3].toInt() : 500;
    const int displayCount = args.size() > 4 ? args[4].toInt() : 10;
    const int gapMs = args.size() > 5 ? args[5].toInt() : 100;

    QTemporaryDir dir;
    const QString towerFile = dir.filePath(QStringLiteral("tower.sqlite"));
    Event::create(towerFile, QStringLiteral("Load"), QDate::currentDate(),
                  {{QStringLiteral("Stock"), 0, 0, 8, LadderKind::Fixed}});
    ServerAddress tower;
    tower.host = QStringLiteral("127.0.0.1");
    tower.port = port;
    tower.user = QStringLiteral("tower");
    tower.station = QStringLiteral("tower");
    openServerConnection(tower, QStringLiteral("create"));
    const ServerEvent shared = createServerEvent(QStringLiteral("create"), QStringLiteral("Load"),
                                                 QDate::currentDate().toString(Qt::ISODate));
    QSqlDatabase::removeDatabase(QStringLiteral("create"));

    EventRaceStore store(dir.path(), QDateTime::currentDateTime());
    store.useEvent(towerFile);
    StationThread link(new StationLink(tower, towerFile, shared.schema));

    std::vector<qint64> written(size_t(races) + 1, 0);
    std::vector<int> seen(size_t(displayCount), 0); // races each display has shown
    std::vector<double> latencies;
    std::vector<std::unique_ptr<QProcess>> displays;
    int online = 0;
    for (int i = 0; i < displayCount; ++i) {
        auto p = std::make_unique<QProcess>();
        QProcess* raw = p.get();
        QObject::connect(raw, &QProcess::readyReadStandardOutput, &app, [&, raw, i] {
            while (raw->canReadLine()) {
                const QList<QByteArray> words = raw->readLine().trimmed().split(' ');
                if (words.value(0) == "status" && words.value(3) == "online")
                    ++online;
                if (words.value(0) != "passes")
                    continue;
                const int shownRaces = words.value(1).toInt() / 2;
                const qint64 at = words.value(2).toLongLong();
                for (int r = seen[size_t(i)] + 1; r <= std::min(shownRaces, races); ++r)
                    latencies.push_back(double(at - written[size_t(r)]));
                seen[size_t(i)] = std::max(seen[size_t(i)], shownRaces);
            }
        });
        p->start(stationProgram,
                 {QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                  QString::number(port), QStringLiteral("--user"), QStringLiteral("display"),
                  QStringLiteral("--station"), QStringLiteral("display%1").arg(i), shared.schema,
                  dir.filePath(QStringLiteral("display%1.sqlite").arg(i))});
        displays.push_back(std::move(p));
    }
    QElapsedTimer waiting;
    waiting.start();
    while (online < displayCount && waiting.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    int race = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, &app, [&] {
        if (++race > races) {
            pace.stop();
            return;
        }
        RaceRecord r[2];
        for (int i = 0; i < 2; ++i) {
            r[i].ClassName = QStringLiteral("Stock");
            r[i].Lane = i == 0 ? QStringLiteral("L") : QStringLiteral("R");
            r[i].Racer = QStringLiteral("Racer %1").arg(i);
            r[i].RaceNumber = race;
            r[i].ElapsedTime = 1.5f;
        }
        store.raceShown(r[0], r[1], {});
        written[size_t(race)] = QDateTime::currentMSecsSinceEpoch();
        link.syncNow();
        store.raceCommitted(r[0], r[1]);
    });
    pace.start(gapMs);
    waiting.restart();
    while ((race <= races || *std::min_element(seen.begin(), seen.end()) < races) &&
           waiting.elapsed() < qint64(races) * gapMs + 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (auto& p : displays) {
        p->terminate();
        p->waitForFinished();
    }
    if (latencies.empty()) {
        std::fputs("no display showed a pass\n", stderr);
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) {
        return latencies[std::min(latencies.size() - 1, size_t(q * double(latencies.size())))];
    };
    std::printf("%d races, %d displays, %zu of %d passes shown: median %.0f ms, 99th percentile "
                "%.0f ms, worst %.0f ms\n",
                races, displayCount, latencies.size(), races * displayCount, at(0.5), at(0.99),
                latencies.back());
    return latencies.size() == size_t(races * displayCount) ? 0 : 1;
}
