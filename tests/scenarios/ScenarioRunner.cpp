#include "ScenarioRunner.h"

#include "Controls.h"
#include "PtyPeer.h"
#include "RecordFields.h"
#include "event/EventRaceStore.h"
#include "link/frmDelay.h"
#include "platform/QuitSignals.h"
#include "reports/QtPrintSurface.h"
#include "support/FaultFolder.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>

namespace halvex::test {

namespace {

constexpr int kTickMs = 2;
// How long a check waits for the windows, the port or the unit to come to the expected state.
constexpr int kSettleMs = 5000;
constexpr int kRaceMs = 30000;

// The verbs and the fewest words each takes after it.
const QMap<QString, int> kVerbs = {
    {"port", 1},   {"settings", 0}, {"windowstate", 0}, {"lists", 0},   {"file", 2},
    {"link", 2},   {"unit", 1},     {"answer", 1},      {"input", 1},   {"start", 0},
    {"wait", 1},   {"race", 0},     {"timelimit", 2},   {"click", 1},   {"focus", 1},
    {"close", 1},  {"set", 2},      {"type", 2},        {"key", 2},     {"pick", 2},
    {"expect", 1}, {"signal", 1},   {"savefile", 1},    {"printer", 1}, {"drag", 5},
    {"folder", 1}, {"memory", 1},   {"draws", 1},       {"sample", 0},  {"unfinished", 2}};

int number(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("not a number: ") + text);
    return n;
}

// The words' bytes one after the other; a word "*N" repeats the word before it N times in all.
QByteArray bytes(const QStringList& words)
{
    QByteArray out;
    QByteArray last;
    for (const QString& w : words) {
        if (w.size() > 1 && w.startsWith(u'*') && !last.isEmpty()) {
            out += last.repeated(number(w.mid(1)) - 1);
            continue;
        }
        last = w.toLatin1();
        out += last;
    }
    return out;
}

void setMode(const QString& path, mode_t mode)
{
    if (chmod(QFile::encodeName(path).constData(), mode) != 0)
        fail(QStringLiteral("cannot change the permissions of ") + path);
}

QStringList text(const QByteArray& data)
{
    return {QString::fromLatin1(data)};
}

// The diagnostics window's rows: each sensor's name and lamps, G blocked, R clear, left first.
QStringList lamps(QObject* diag)
{
    QStringList rows;
    const auto find = [diag](const char* name, int r) {
        return diag->findChild<QLabel*>(QString::fromLatin1(name).arg(r));
    };
    for (int r = 0; find("lblSensorText%1", r) && find("lblSensorText%1", r)->isVisible(); ++r) {
        QString row = find("lblSensorText%1", r)->text() + u' ';
        for (const char* lamp : {"lblLeftSensors%1", "lblRightSensors%1"}) {
            const QColor colour = find(lamp, r)->palette().color(QPalette::Window);
            row += colour == QColor(0, 255, 0) ? u'G' : u'R';
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

ScenarioRunner::ScenarioRunner(QString name, QList<Step> steps)
    : m_name(std::move(name)), m_steps(std::move(steps))
{}

ScenarioRunner::~ScenarioRunner()
{
    m_peer.reset();
    m_gonePeers.clear();
    // Back to root's rights and a folder that can be emptied, the disk taken off it, before the
    // program and its folder go.
    m_asUser.reset();
    if (m_rig)
        chmod(QFile::encodeName(m_rig->folder()).constData(), 0755);
    m_disk.reset();
    m_rig.reset();
    m_pdf.reset();
    m_quitSignals.reset();
}

QString ScenarioRunner::run()
{
    QTimer::singleShot(0, this, &ScenarioRunner::tick);
    if (!QTest::qWaitFor([this] { return m_done && m_running.isEmpty(); }, 240000))
        return m_name + QStringLiteral(": the scenario did not end within four minutes");
    return m_failure;
}

void ScenarioRunner::tick()
{
    // Asked for first: if this step opens a modal window, the turn comes in its event loop.
    QTimer::singleShot(kTickMs, this, &ScenarioRunner::tick);
    QWidget* modal = QApplication::activeModalWidget();
    if (m_done) {
        // What is still open is closed, so the steps waiting in modal windows return.
        if (modal)
            modal->close();
        return;
    }
    if (!m_running.isEmpty() && m_running.last() == modal)
        return;
    if (m_next == m_steps.size()) {
        m_done = true;
        if (m_rig && !m_rig->prompter.messages.isEmpty())
            m_failure = m_name + QStringLiteral(": messages never checked: ") +
                        quoted(m_rig->prompter.texts());
        return;
    }
    const qsizetype index = m_next++;
    const Step& step = m_steps.at(index);
    m_firstAttempt = m_attempted != index;
    if (m_firstAttempt)
        m_since.restart();
    m_attempted = index;
    m_running.append(modal);
    try {
        const QString verb = step.words.value(0);
        if (!kVerbs.contains(verb))
            fail(QStringLiteral("no such verb"));
        if (step.words.size() <= kVerbs.value(verb))
            fail(QStringLiteral("too few words"));
        QStringList args = step.words.mid(1);
        if (step.text.contains(QStringLiteral("$FOLDER")))
            args.replaceInStrings(QStringLiteral("$FOLDER"), rig().folder());
        args.replaceInStrings(QStringLiteral("$TODAY"), QDate::currentDate().toString(Qt::ISODate));
        // The private event server's port, which the station scenarios' fixture gives.
        args.replaceInStrings(QStringLiteral("$PGPORT"),
                              qEnvironmentVariable("HALVEX_TEST_PG_PORT"));
        // The system's own words for an error, in the language of the locale the test runs in.
        for (const auto& [name, code] : {std::pair{"$EROFS", EROFS}, {"$ENOSPC", ENOSPC}})
            args.replaceInStrings(QLatin1String(name), QString::fromLocal8Bit(strerror(code)));
        if (perform(verb, args) == Result::Again)
            m_next = index;
    } catch (const Skip& s) {
        m_done = true;
        m_skipped = QString::fromUtf8(s.what());
    } catch (const std::exception& e) {
        m_done = true;
        m_failure = QStringLiteral("%1:%2: %3\n   %4")
                        .arg(m_name)
                        .arg(step.line)
                        .arg(step.text, QString::fromUtf8(e.what()));
    }
    m_running.removeLast();
}

WindowRig& ScenarioRunner::rig()
{
    if (!m_rig)
        m_rig = std::make_unique<WindowRig>();
    return *m_rig;
}

ScenarioRunner::Result ScenarioRunner::perform(const QString& verb, const QStringList& args)
{
    static const QStringList setUpVerbs = {
        "port",  "settings", "windowstate", "lists",  "file",  "link",   "unit",      "answer",
        "input", "savefile", "printer",     "folder", "draws", "sample", "unfinished"};
    if (setUpVerbs.contains(verb))
        return setUp(verb, args);
    if (verb != u"start" && (!m_rig || !m_rig->app))
        fail(QStringLiteral("the program has not been started"));
    if (verb == u"expect")
        return expect(args[0], args.mid(1));
    return act(verb, args);
}

ScenarioRunner::Result ScenarioRunner::setUp(const QString& verb, const QStringList& args)
{
    if (verb == u"port") {
        if (m_rig)
            fail(QStringLiteral("the port comes before every other step"));
        if (args[0] == u"memory")
            return Result::Done;
        m_rig = std::make_unique<WindowRig>(WindowRig::Port::Serial);
        if (args[0] == u"serial") {
            m_peer = std::make_unique<sim::PtyPeer>(m_rig->folder(), 1);
            if (!m_peer->isOpen())
                fail(m_peer->errorString());
        } else if (args[0] != u"absent") {
            fail(QStringLiteral("no such port"));
        }
    } else if (verb == u"settings") {
        assignFields(rig().settings, args);
        rig().writeSettings();
    } else if (verb == u"windowstate") {
        // The Pro-Tree race of Bob Diaz (Red Comet) against Carla (Blue) in Stock, unless blank.
        const bool blank = args.value(0) == u"blank";
        WindowStateRecord state = blank ? WindowStateRecord{} : WindowRig::proTreeSetup();
        assignFields(state, args.mid(blank ? 1 : 0));
        rig().writeFile(kWindowStateFileName, windowStateLine(state));
    } else if (verb == u"lists") {
        rig().writeLists();
    } else if (verb == u"unfinished") {
        // A run of that day killed with N races of Bob Diaz (Red Comet) against Carla (Blue) in
        // Stock kept, numbered from 5.
        const QDate day = QDate::fromString(args[0], Qt::ISODate);
        EventRaceStore killed(rig().folder(), QDateTime(day, QTime(20, 0)));
        for (int n = 0; n < number(args[1]); ++n) {
            const qint16 race = qint16(5 + n);
            const RaceRecord left{"Stock", "Bob Diaz", "Red Comet",
                                  "L",     race,       {},
                                  {},      0.05f,      {0.25f, 0.45f, 0.8f, 0, 0},
                                  50.13f,  0,          1.0f,
                                  0.03f,   "Win"};
            const RaceRecord right{
                "Stock", "Carla", "Blue", "R",    race,  {}, {}, 0.04f, {0.24f, 0.46f, 0.82f, 0, 0},
                49.1f,   0,       1.04f,  -0.03f, "Lost"};
            killed.raceShown(left, right, {});
            killed.raceCommitted(left, right);
        }
    } else if (verb == u"sample") {
        const QDir sample(QStringLiteral(HALVEX_SAMPLE_DIR));
        for (const QString& name : sample.entryList(QDir::Files))
            rig().writeFile(name, fileBytes(sample.filePath(name)));
    } else if (verb == u"draws") {
        // The next pseudo-random draws, in [0, 1); 0.5 when none is queued.
        for (const QString& d : args) {
            bool ok = false;
            rig().random.draws.enqueue(d.toFloat(&ok));
            if (!ok)
                fail(QStringLiteral("not a draw: ") + d);
        }
    } else if (verb == u"folder") {
        folder(args[0]);
    } else if (verb == u"file") {
        // "<missing>" removes the file, "<dir>" puts a folder in its place.
        const QString path = rig().dir.filePath(args[0]);
        QFile::remove(path);
        if (args[1] == u"<dir>")
            QDir().mkdir(path);
        else if (args[1] != u"<missing>")
            rig().writeFile(args[0], bytes(args.mid(1)));
    } else if (verb == u"link") {
        QFile::link(rig().dir.filePath(args[1]), rig().dir.filePath(args[0]));
    } else if (verb == u"answer") {
        // In the order of the prompter's answers: Ok, Cancel, Yes, No.
        for (const QString& a : args) {
            const qsizetype answer = QStringList{"Ok", "Cancel", "Yes", "No"}.indexOf(a);
            if (answer < 0)
                fail(QStringLiteral("no such answer: ") + a);
            rig().prompter.answers.enqueue(Answer(answer));
        }
    } else if (verb == u"input") {
        rig().prompter.inputAnswers.append(args);
    } else if (verb == u"savefile") {
        // The name the next save dialog returns, in the program folder, and the type chosen.
        rig().prompter.fileNames.enqueue(rig().dir.filePath(args[0]));
        if (args.size() > 1)
            rig().prompter.fileTypes.enqueue(args[1]);
    } else if (verb == u"printer" && args[0] == u"pdf") {
        // Real pages, each job a file in the program folder, instead of the recording surface.
        m_pdf = std::make_unique<PdfFileSurface>(rig().dir.filePath(QStringLiteral("print.pdf")));
        rig().printSurface = m_pdf.get();
    } else if (verb == u"printer") {
        // Every output from now on fails as a printer gone off line does, or none.
        rig().printer.failure = args[0] == u"fails" ? args.value(1) : QString();
    } else if (m_peer && args[0] == u"masks" && args.size() == 3) {
        m_peer->setMasks(number(args[1]), number(args[2]));
    } else if (m_peer && args[0] == u"silent") {
        m_peer->setNoAnswer(true);
    } else if (args[0] == u"send" && args.size() == 2) {
        // Bytes from the unit that nothing asked for.
        m_peer ? m_peer->sendNow(bytes(args.mid(1))) : rig().memoryPort.arrive(bytes(args.mid(1)));
    } else if (m_peer && args[0] == u"delay" && args.size() == 2) {
        m_peer->setAnswerDelay(number(args[1]));
    } else if (args[0] == u"gone") {
        // The device is pulled out: the line closes, or the memory port loses it.
        m_peer.reset();
        rig().memoryPort.loseDevice();
        rig().memoryPort.present = false;
    } else if (args[0] == u"back") {
        // A device under COM1 again; one that still stands stays open, unheard.
        rig().memoryPort.present = true;
        if (m_rig->serialPort) {
            m_gonePeers.push_back(std::move(m_peer));
            m_peer = std::make_unique<sim::PtyPeer>(m_rig->folder(), 1);
            m_wireSeen = 0;
        }
    } else if (args[0] == u"answer" && !m_peer) {
        // What the in-memory unit sends after a race command, as given.
        for (const char* race : {"P\n", "N\n"})
            rig().memoryPort.answers.insert(race, bytes(args.mid(1)));
    } else if (args[0] == u"reply") {
        QList<qint32> fields;
        QByteArray report; // as the unit sends it: the fields one a line, then "!"
        // The in-memory port sends the fields as written, so that a unit's "499.5" can be said.
        for (const QString& f : args.mid(1)) {
            if (m_peer)
                fields.append(number(f));
            report += f.toLatin1() + '\n';
        }
        if (m_peer)
            m_peer->setRaceReply(fields);
        for (const char* race : {"P\n", "N\n"})
            rig().memoryPort.answers.insert(race, report + "!\n");
    } else {
        fail(QStringLiteral("no such unit step for this port"));
    }
    return Result::Done;
}

void ScenarioRunner::folder(const QString& how)
{
    // Permissions do not hold for root: a folder that refuses writes is a read-only mount there,
    // or the permissions of an ordinary user; a full disk is a tiny tmpfs.
    const QString dir = rig().folder();
    if (how == u"disk") {
        if (m_disk)
            fail(QStringLiteral("the disk is there already"));
        m_disk = std::make_unique<TinyDisk>(dir, 1024 * 1024);
        if (!m_disk->mounted())
            throw Skip("a tmpfs can be mounted only by root, where the machine allows it");
    } else if (how == u"full") {
        if (!m_disk)
            fail(QStringLiteral("only a disk of its own (folder disk) fills up"));
        m_disk->fill();
    } else if (how == u"readonly" && m_disk) {
        if (!m_disk->setReadOnly(true))
            fail(QStringLiteral("the disk cannot be made read-only"));
    } else if (how == u"readonly" || how == u"locked") {
        // The folder refuses new files; its files too when read-only, not when locked.
        for (const QString& entry : QDir(dir).entryList(QDir::Files))
            setMode(rig().dir.filePath(entry), how == u"locked" ? 0666 : 0444);
        setMode(dir, 0555);
        m_asUser = std::make_unique<AsOrdinaryUser>();
    } else if (how == u"writable") {
        m_asUser.reset();
        if (m_disk && !m_disk->setReadOnly(false))
            fail(QStringLiteral("the disk cannot be made writable"));
        setMode(dir, 0755);
    } else {
        fail(QStringLiteral("no such folder state"));
    }
}

ScenarioRunner::Result ScenarioRunner::act(const QString& verb, const QStringList& args)
{
    if (verb == u"start") {
        if (args.value(0) == u"shown" || args.value(0) == u"tips")
            rig().startShown(args[0] == u"tips");
        else
            rig().start().show();
        return Result::Done;
    }
    if (verb == u"wait")
        return m_since.hasExpired(number(args[0])) ? Result::Done : Result::Again;
    if (verb == u"race") {
        // Start Race, "Get Ready" clicked as soon as the delay window shows, until the race
        // has shown its result or ended without one.
        if (m_firstAttempt)
            clickControl(m_rig->window().cmdRace);
        else if (auto* delay = qobject_cast<frmDelay*>(QApplication::activeModalWidget()))
            clickControl(delay->Label1);
        else if (!m_rig->window().raceRunning())
            return Result::Done;
        if (m_since.hasExpired(kRaceMs))
            fail(QStringLiteral("the race did not end"));
        return Result::Again;
    }
    if (verb == u"signal") {
        // Connected as the program's main() connects it, then raised at the process.
        m_quitSignals = std::make_unique<QuitSignals>();
        QObject::connect(m_quitSignals.get(), &QuitSignals::quitRequested, &m_rig->window(),
                         [app = m_rig->app.get()] { app->quitWithoutAsking(); });
        const QStringList names = {"HUP", "INT", "TERM"};
        const int signals[] = {SIGHUP, SIGINT, SIGTERM};
        if (!names.contains(args[0]))
            fail(QStringLiteral("no such signal"));
        ::raise(signals[names.indexOf(args[0])]);
        return Result::Done;
    }
    if (verb == u"memory") {
        // "mark" notes the open files and the resident memory; a number of kB then fails more
        // files open (one the mark caught in passing may have closed), or a growth beyond it. Under
        // the address sanitizer freed memory is held back, so memory tells nothing there.
        if (args[0] == u"mark") {
            m_filesMark = openDescriptors();
            m_memoryMark = residentKb();
        } else if (openDescriptors() > m_filesMark) {
            fail(QStringLiteral("%1 open files, %2 at the mark")
                     .arg(openDescriptors())
                     .arg(m_filesMark));
        } else if (kMemoryIsMeasurable && residentKb() - m_memoryMark >= number(args[0])) {
            fail(QStringLiteral("%1 kB more").arg(residentKb() - m_memoryMark));
        }
        return Result::Done;
    }
    if (verb == u"timelimit") {
        m_rig->app->command().setTimeLimit(std::chrono::milliseconds(number(args[0])),
                                           std::chrono::milliseconds(number(args[1])));
        return Result::Done;
    }
    // A window the last step opened may take a turn of the event loop to show.
    QObject* c = findControl(args[0].section(u'.', 0, 0));
    if (!c)
        return retry(QStringLiteral("no control named ") + args[0]);
    if (verb == u"click") {
        clickControl(c);
    } else if (verb == u"focus") {
        focusControl(c);
    } else if (verb == u"close") {
        closeWindow(c);
    } else if (verb == u"set") {
        const QString property = args[0].section(u'.', 1);
        writeProperty(c, property.isEmpty() ? QStringLiteral("text") : property, args[1]);
    } else if (verb == u"type") {
        typeText(c, args[1]);
    } else if (verb == u"key") {
        pressKeys(c, args[1]);
    } else if (verb == u"drag") {
        dragCell(c, {number(args[1]), number(args[2])}, {number(args[3]), number(args[4])});
    } else {
        // pick CONTROL ROW [COLUMN] [double]
        const bool twice = args.last() == u"double";
        const int column = args.size() > (twice ? 3 : 2) ? number(args[2]) : 0;
        pickRow(c, number(args[1]), column, twice);
    }
    return Result::Done;
}

ScenarioRunner::Result ScenarioRunner::retry(const QString& failure) const
{
    if (!m_since.hasExpired(kSettleMs))
        return Result::Again;
    fail(failure);
}

ScenarioRunner::Result ScenarioRunner::compare(const QStringList& actual,
                                               const QStringList& expected) const
{
    if (actual == expected)
        return Result::Done;
    return retry(
        QStringLiteral("actual:   %1\n   expected: %2").arg(quoted(actual), quoted(expected)));
}

ScenarioRunner::Result ScenarioRunner::expect(const QString& what, const QStringList& values)
{
    ScriptedPrompter& prompter = m_rig->prompter;
    if (what == u"messages") {
        const Result r = compare(prompter.texts(), values);
        if (r == Result::Done)
            prompter.clear();
        return r;
    }
    if (what == u"titles") {
        QStringList titles;
        for (const auto& m : prompter.messages)
            titles.append(m.title);
        return compare(titles, values);
    }
    if (what == u"wire") {
        const QByteArray all = m_peer ? m_peer->received() : m_rig->memoryPort.written();
        const Result r = compare(text(all.mid(m_wireSeen)), text(bytes(values)));
        if (r == Result::Done)
            m_wireSeen = all.size();
        return r;
    }
    if (what == u"printed" && !values.isEmpty()) {
        // One line of each job printed since the last print check; "cells": a grid's job, as
        // its number of cells and the text at the first page's top left.
        const QList<RecordingSurface::Job>& jobs = m_rig->printer.jobs;
        QStringList lines;
        for (qsizetype j = m_printSeen; j < jobs.size(); ++j) {
            const QStringList corner = jobs[j].cells.filter(QRegularExpression("^1\\|0,0\\|"));
            lines.append(
                values[0] == u"cells"
                    ? QStringLiteral("%1 %2").arg(jobs[j].cells.size()).arg(corner.join(u'/'))
                    : jobs[j].lines.value(number(values[0])));
        }
        const Result r = compare(lines, values.mid(1));
        if (r == Result::Done)
            m_printSeen = jobs.size();
        return r;
    }
    if (what == u"notices")
        return compare({QString::number(m_rig->printNotices)}, values);
    if (what == u"file" && !values.isEmpty())
        return compare(text(fileBytes(m_rig->dir.filePath(values[0]))), text(bytes(values.mid(1))));
    if (what == u"folder") {
        // The files of the program folder, by name.
        QStringList files = QDir(m_rig->folder()).entryList(QDir::Files, QDir::Name);
        files.removeAll(QStringLiteral("filler"));
        return compare(files, values);
    }
    if (what == u"log")
        return compare({QString::number(m_rig->log().count())}, values);
    if (what == u"sounds")
        return compare(m_rig->sound.played, values);
    if (what == u"lamps") {
        QObject* diag = findControl(QStringLiteral("frmDiag"));
        return diag ? compare(lamps(diag), values) : retry(QStringLiteral("no diagnostics"));
    }
    const QString property = what.section(u'.', 1);
    if (property.isEmpty())
        fail(QStringLiteral("no such check"));
    QObject* c = findControl(what.section(u'.', 0, 0));
    if (property == u"exists")
        return compare({c ? QStringLiteral("true") : QStringLiteral("false")}, values);
    if (!c)
        return retry(QStringLiteral("no control named ") + what.section(u'.', 0, 0));
    return compare(readProperty(c, property), values);
}

} // namespace halvex::test
