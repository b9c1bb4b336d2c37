// halvex-timing-sim: stands in for the timing unit so that the program can race over a real
// serial line without hardware.

#include "ByteEscape.h"
#include "FieldList.h"
#include "PseudoTerminal.h"
#include "TimingUnit.h"
#include "UnitLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>
#include <optional>

using halvex::sim::UnitLink;

namespace {

UnitLink* g_link = nullptr;

extern "C" void stopOnSignal(int)
{
    if (g_link != nullptr) {
        g_link->stop();
    }
}

void installSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = stopOnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    // A log reader that went away must not kill the unit before it removes its link.
    std::signal(SIGPIPE, SIG_IGN);
}

int fail(const QString& message)
{
    std::fprintf(stderr, "halvex-timing-sim: %s\n", qPrintable(message));
    return 1;
}

std::optional<int> intValue(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halvex-timing-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stands in for the timing unit: links a pseudo-terminal as COM<n> in a folder, answers "
        "N and P with a race reply and T with two sensor masks at 9600 baud, and logs every "
        "command received, one per line, bytes escaped (\\n, \\r, \\\\, \\xNN). Status lines go "
        "to standard error. Stops on SIGINT, SIGTERM or SIGHUP and removes its link."));
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        QStringLiteral("dir"), QStringLiteral("Folder in which COM<n> is linked (required)."),
        QStringLiteral("DIR"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port number n, 1 to 4 (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption logOption(
        QStringLiteral("log"),
        QStringLiteral("Command log file, truncated at start (default: stdout)."),
        QStringLiteral("FILE"));
    const QCommandLineOption replyOption(
        QStringLiteral("reply"),
        QStringLiteral("Answer every race with exactly these fields, e.g. 0,0,512,430,..."),
        QStringLiteral("n,n,..."));
    const QCommandLineOption masksOption(
        QStringLiteral("masks"), QStringLiteral("Sensor masks answered to T (default 0,0)."),
        QStringLiteral("a,b"));
    const QCommandLineOption passOption(
        QStringLiteral("pass"),
        QStringLiteral("Answer T with a car passing the strip in each lane, blocking each sensor "
                       "for MS milliseconds, the right lane's car one sensor behind (instead of "
                       "--masks)."),
        QStringLiteral("MS"));
    const QCommandLineOption delayOption(
        QStringLiteral("delay-ms"),
        QStringLiteral("Answer N ms after the command instead of when the race has run."),
        QStringLiteral("N"));
    const QCommandLineOption neverOption(QStringLiteral("never"),
                                         QStringLiteral("Never answer N, P or T."));
    const QCommandLineOption malformedOption(
        QStringLiteral("malformed"),
        QStringLiteral("End every reply with \"!\" CR LF, which never completes a reply."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the random race times."),
                                        QStringLiteral("N"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("No status lines."));
    parser.addOptions({dirOption, portOption, logOption, replyOption, masksOption, passOption,
                       delayOption, neverOption, malformedOption, seedOption, quietOption});
    parser.process(app);

    if (!parser.isSet(dirOption)) {
        return fail(QStringLiteral("--dir is required"));
    }
    const std::optional<int> port = intValue(parser.value(portOption), 1, 4);
    if (!port) {
        return fail(QStringLiteral("--port must be 1 to 4"));
    }

    quint32 seed = QRandomGenerator::system()->generate();
    if (parser.isSet(seedOption)) {
        bool ok = false;
        seed = parser.value(seedOption).toUInt(&ok);
        if (!ok) {
            return fail(QStringLiteral("--seed must be a whole number from 0 to 4294967295"));
        }
    }
    halvex::sim::TimingUnit unit(seed);
    halvex::sim::UnitSettings& settings = unit.settings();
    if (parser.isSet(replyOption)) {
        settings.raceFields = halvex::sim::parseFieldList(parser.value(replyOption));
        if (!settings.raceFields) {
            return fail(QStringLiteral("--reply must be whole numbers separated by commas"));
        }
    }
    if (parser.isSet(masksOption)) {
        const auto masks = halvex::sim::parseFieldList(parser.value(masksOption));
        if (!masks || masks->size() != 2) {
            return fail(QStringLiteral("--masks must be two whole numbers, e.g. 64,0"));
        }
        settings.mask1 = masks->at(0);
        settings.mask2 = masks->at(1);
    }
    if (parser.isSet(passOption)) {
        const std::optional<int> step = intValue(parser.value(passOption), 1, 3'600'000);
        if (!step) {
            return fail(QStringLiteral("--pass must be 1 to 3600000"));
        }
        settings.passStep = std::chrono::milliseconds{*step};
    }
    if (parser.isSet(delayOption)) {
        const std::optional<int> delay = intValue(parser.value(delayOption), 0, 3'600'000);
        if (!delay) {
            return fail(QStringLiteral("--delay-ms must be 0 to 3600000"));
        }
        settings.answerDelay = std::chrono::milliseconds{*delay};
    }
    settings.silent = parser.isSet(neverOption);
    settings.malformed = parser.isSet(malformedOption);
    const bool quiet = parser.isSet(quietOption);

    const bool randomRaces = !settings.raceFields;

    QFile log;
    bool logOpen = false;
    if (parser.isSet(logOption)) {
        log.setFileName(parser.value(logOption));
        logOpen = log.open(QIODevice::WriteOnly | QIODevice::Truncate);
    } else {
        logOpen = log.open(stdout, QIODevice::WriteOnly);
    }
    if (!logOpen) {
        return fail(QStringLiteral("cannot write the log: %1").arg(log.errorString()));
    }

    const halvex::sim::PseudoTerminal pty(parser.value(dirOption), *port);
    if (!pty.isOpen()) {
        return fail(pty.errorString());
    }
    UnitLink link(pty.masterFd(), std::move(unit));
    const auto logLine = [&log](const QByteArray& bytes) {
        log.write(halvex::sim::escapeBytes(bytes) + '\n');
        log.flush();
    };
    link.setCommandHandler(logLine);
    g_link = &link;
    installSignalHandlers();

    if (!quiet) {
        std::fprintf(stderr, "linked COM%d -> %s\n", *port, qPrintable(pty.devicePath()));
        if (randomRaces) {
            std::fprintf(stderr, "race seed %u\n", seed);
        }
    }
    link.run();
    g_link = nullptr;

    // Bytes without their line feed: the unit never acted on them, but the log shows them.
    if (!link.unfinished().isEmpty()) {
        logLine(link.unfinished());
    }
    if (!link.errorString().isEmpty()) {
        return fail(link.errorString());
    }
    return 0;
}
