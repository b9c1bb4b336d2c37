// halvex-station: a station of a shared event without windows. It keeps its own copy of the
// event in step with the event server and says on its output what changes: for a machine that
// only follows the event (a results page's publisher, a load test's displays), or to look at
// the server from a terminal.
#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventRounds.h"
#include "event/ResultsPage.h"
#include "platform/Failure.h"
#include "station/EventSync.h"
#include "station/StationLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace halvex;

namespace {

int quitPipe[2];

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &c, 1);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halvex-station"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A station of a shared event without windows: it keeps FILE in step with "
                       "the event server's copy of the event and prints what changes."));
    parser.addHelpOption();
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("The event server's settings file."),
                                      QStringLiteral("EventServer.ini"));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("The server's host."),
                                  QStringLiteral("host"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The server's port."),
                                  QStringLiteral("port"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("The login user."),
                                  QStringLiteral("user"));
    const QCommandLineOption station(
        QStringLiteral("station"), QStringLiteral("This station's name."), QStringLiteral("name"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Lists the server's events and ends."));
    const QCommandLineOption publish(
        QStringLiteral("publish"),
        QStringLiteral("Writes the results page (index.html, results.json) into FOLDER whenever "
                       "the event changes."),
        QStringLiteral("FOLDER"));
    parser.addOptions({settings, host, port, user, station, list, publish});
    parser.addPositionalArgument(QStringLiteral("event"),
                                 QStringLiteral("The event's schema on the server (e1, e2, ...)."));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("This station's event file."));
    parser.process(app);

    ServerAddress address = ServerAddress::load(parser.isSet(settings) ? parser.value(settings)
                                                                       : ServerAddress::kFileName);
    address.role = StationRole::Display;
    if (parser.isSet(host))
        address.host = parser.value(host);
    if (parser.isSet(port))
        address.port = parser.value(port).toInt();
    if (parser.isSet(user))
        address.user = parser.value(user);
    if (parser.isSet(station))
        address.station = parser.value(station);
    QTextStream out(stdout);
    if (!address.isSet()) {
        std::fputs("No event server is set: give --host or a settings file.\n", stderr);
        return 2;
    }
    if (parser.isSet(list)) {
        try {
            openServerConnection(address, QStringLiteral("list"));
            for (const ServerEvent& e : listServerEvents(QStringLiteral("list")))
                out << e.schema << '\t' << e.date << '\t' << e.name << Qt::endl;
            return 0;
        } catch (const Failure& f) {
            std::fprintf(stderr, "%s\n", qPrintable(f.description()));
            return 1;
        }
    }
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        parser.showHelp(2);

    // SIGTERM and SIGINT end the run through the event loop, so that the link closes cleanly.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, quitPipe) != 0)
        return 1;
    QSocketNotifier quitNotice(quitPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotice, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    auto* link = new StationLink(address, args[1], args[0]);
    QString lastText;
    QObject::connect(link, &StationLink::statusChanged, &app, [&](const StationStatus& status) {
        const QString text =
            status.text(address.role) +
            (status.problem.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(status.problem));
        if (text != lastText)
            out << "status " << text << Qt::endl;
        lastText = text;
    });
    const QString publishFolder = parser.value(publish);
    QObject::connect(link, &StationLink::eventChanged, &app, [&] {
        try {
            Event event(args[1]);
            out << "passes "
                << event.database()
                       .value(QStringLiteral("SELECT COUNT(*) FROM pass WHERE state = 'Shown'"))
                       .toInt()
                << ' ' << QDateTime::currentMSecsSinceEpoch() << Qt::endl;
            if (!publishFolder.isEmpty()) {
                const EventRounds rounds(event, address.station);
                publishResults(publishFolder, resultsJson(rounds, QDateTime::currentDateTime()));
                out << "published " << publishFolder << Qt::endl;
            }
        } catch (const Failure& f) {
            out << "status " << f.description() << Qt::endl;
        }
    });
    StationThread thread(link);
    return app.exec();
}
