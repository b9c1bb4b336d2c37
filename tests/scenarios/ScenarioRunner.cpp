#include "ScenarioRunner.h"

#include "Controls.h"
#include "PtyPeer.h"
#include "ScenarioFolder.h"
#include "data/MasterList.h"
#include "link/frmDelay.h"
#include "support/TestFiles.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <stdexcept>

namespace halvex::test {

namespace {

constexpr int kTickMs = 2;
// How long a check waits for the windows, the port or the unit to come to the expected state.
constexpr int kSettleMs = 3000;
constexpr int kRaceMs = 30000;

[[noreturn]] void fail(const QString& why)
{
    throw std::runtime_error(why.toStdString());
}

void needArgs(const QStringList& args, qsizetype least, const char* form)
{
    if (args.size() < least)
        fail(QStringLiteral("expected: ") + QLatin1String(form));
}

int number(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("not a number: ") + text);
    return n;
}

QByteArray bytes(const QStringList& words)
{
    return words.join(QString()).toLatin1();
}

QStringList lines(const QByteArray& data)
{
    return {QString::fromLatin1(data)};
}

// The unit's race report as it sends it: the fields one a line, then "!".
QByteArray raceReport(const QStringList& fields)
{
    QByteArray report;
    for (const QString& f : fields)
        report += QByteArray::number(number(f)) + '\n';
    return report + "!\n";
}

// The diagnostics window's rows as shown: each sensor's name and its lamps, G blocked, R clear,
// left lamp first.
QStringList lamps(QObject& diag)
{
    QStringList rows;
    for (int r = 0;; ++r) {
        auto* name = diag.findChild<QLabel*>(QStringLiteral("lblSensorText%1").arg(r));
        if (!name || !name->isVisible())
            return rows;
        QString row = name->text() + u' ';
        for (const char* side : {"lblLeftSensors%1", "lblRightSensors%1"}) {
            const auto* lamp = diag.findChild<QLabel*>(QString::fromLatin1(side).arg(r));
            row += readProperty(const_cast<QLabel*>(lamp), QStringLiteral("background"))[0] ==
                           QColor(0, 255, 0).name()
                       ? u'G'
                       : u'R';
        }
        rows.append(row);
    }
}

Answer answer(const QString& word)
{
    static const QMap<QString, Answer> answers = {{QStringLiteral("Ok"), Answer::Ok},
                                                  {QStringLiteral("Cancel"), Answer::Cancel},
                                                  {QStringLiteral("Yes"), Answer::Yes},
                                                  {QStringLiteral("No"), Answer::No}};
    if (!answers.contains(word))
        fail(QStringLiteral("no such answer: ") + word);
    return answers.value(word);
}

} // namespace

ScenarioRunner::ScenarioRunner(QString name, QList<Step> steps)
    : m_name(std::move(name)), m_steps(std::move(steps))
{}

ScenarioRunner::~ScenarioRunner()
{
    m_peer.reset();
    m_rig.reset();
}

QString ScenarioRunner::run()
{
    QTimer::singleShot(0, this, &ScenarioRunner::tick);
    if (!QTest::qWaitFor([this] { return m_done && m_running.isEmpty(); }, 60000))
        return m_name + QStringLiteral(": the scenario did not end within a minute");
    return m_failure;
}

void ScenarioRunner::tick()
{
    // The next turn is asked for first: if this step opens a modal window, the turn comes in
    // that window's event loop.
    QTimer::singleShot(kTickMs, this, &ScenarioRunner::tick);
    QWidget* modal = QApplication::activeModalWidget();
    if (m_done) {
        // Closing what is still open lets the steps waiting in modal windows return.
        if (modal)
            modal->close();
        return;
    }
    if (!m_running.isEmpty() && m_running.last() == modal)
        return;
    if (m_next == m_steps.size()) {
        const bool unchecked = m_rig && !m_rig->prompter.messages.isEmpty();
        finish(unchecked ? m_name + QStringLiteral(": messages never checked: ") +
                               quoted(m_rig->prompter.texts())
                         : QString());
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
        if (perform(step.words) == Result::Again)
            m_next = index;
    } catch (const std::exception& e) {
        finish(QStringLiteral("%1:%2: %3\n   %4")
                   .arg(m_name)
                   .arg(step.line)
                   .arg(step.text, QString::fromUtf8(e.what())));
    }
    m_running.removeLast();
}

void ScenarioRunner::finish(const QString& failure)
{
    if (m_done)
        return;
    m_done = true;
    m_failure = failure;
}

ScenarioRunner::Result ScenarioRunner::perform(const QStringList& words)
{
    const QString verb = words.value(0);
    const QStringList args = words.mid(1);
    if (verb == u"expect")
        return expect(args);
    static const QStringList setUpVerbs = {"port", "settings", "windowstate", "lists", "file",
                                           "link", "unit",     "answer",      "input"};
    if (setUpVerbs.contains(verb))
        return setUp(verb, args);
    return act(verb, args);
}

WindowRig& ScenarioRunner::rig()
{
    if (!m_rig)
        m_rig = std::make_unique<WindowRig>();
    return *m_rig;
}

QObject& ScenarioRunner::control(const QString& path)
{
    if (!m_rig || !m_rig->app)
        fail(QStringLiteral("the program has not been started"));
    QObject* c = findControl(path);
    if (!c)
        fail(QStringLiteral("no control named ") + path);
    return *c;
}

ScenarioRunner::Result ScenarioRunner::setUp(const QString& verb, const QStringList& args)
{
    if (verb == u"port") {
        needArgs(args, 1, "port memory|serial|absent");
        if (m_rig)
            fail(QStringLiteral("the port comes before every other step"));
        if (args[0] == u"memory")
            return Result::Done;
        if (args[0] != u"serial" && args[0] != u"absent")
            fail(QStringLiteral("no such port: ") + args[0]);
        m_rig = std::make_unique<WindowRig>(WindowRig::Port::Serial);
        if (args[0] == u"serial") {
            m_peer = std::make_unique<sim::PtyPeer>(m_rig->folder(), 1);
            if (!m_peer->isOpen())
                fail(m_peer->errorString());
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
    } else if (verb == u"file") {
        needArgs(args, 2, "file NAME BYTES");
        rig().writeFile(args[0], bytes(args.mid(1)));
    } else if (verb == u"link") {
        needArgs(args, 2, "link NAME TARGET");
        QFile::link(rig().dir.filePath(args[1]), rig().dir.filePath(args[0]));
    } else if (verb == u"unit") {
        needArgs(args, 1, "unit reply FIELDS... | masks M1 M2 | silent");
        if (m_peer && args[0] == u"reply") {
            QList<qint32> fields;
            for (const QString& f : args.mid(1))
                fields.append(number(f));
            m_peer->setRaceReply(fields);
        } else if (m_peer && args[0] == u"masks") {
            needArgs(args, 3, "unit masks M1 M2");
            m_peer->setMasks(number(args[1]), number(args[2]));
        } else if (m_peer && args[0] == u"silent") {
            m_peer->setNoAnswer(true);
        } else if (!m_peer && args[0] == u"reply") {
            const QByteArray report = raceReport(args.mid(1));
            rig().memoryPort.answers.insert("P\n", report);
            rig().memoryPort.answers.insert("N\n", report);
        } else {
            fail(QStringLiteral("no such unit step for this port"));
        }
    } else if (verb == u"answer") {
        for (const QString& a : args)
            rig().prompter.answers.enqueue(answer(a));
    } else if (verb == u"input") {
        for (const QString& a : args)
            rig().prompter.inputAnswers.enqueue(a);
    }
    return Result::Done;
}

ScenarioRunner::Result ScenarioRunner::act(const QString& verb, const QStringList& args)
{
    if (verb == u"start") {
        if (args.value(0) == u"shown") {
            rig().startShown();
        } else {
            rig().start().show();
        }
        return Result::Done;
    }
    if (verb == u"wait") {
        needArgs(args, 1, "wait MS");
        return m_since.elapsed() >= number(args[0]) ? Result::Done : Result::Again;
    }
    if (verb == u"race") {
        // Start Race, "Get Ready" clicked as soon as the delay window shows, until the race
        // has shown its result or ended without one.
        if (m_firstAttempt) {
            clickControl(&control(QStringLiteral("cmdRace")));
            return Result::Again;
        }
        if (auto* delay = qobject_cast<frmDelay*>(QApplication::activeModalWidget()))
            clickControl(delay->Label1);
        if (!m_rig->window().raceRunning())
            return Result::Done;
        if (m_since.hasExpired(kRaceMs))
            fail(QStringLiteral("the race did not end"));
        return Result::Again;
    }
    if (verb == u"timelimit") {
        needArgs(args, 2, "timelimit MS POLL_MS");
        control(QStringLiteral("frmDragRacing"));
        m_rig->app->command().setTimeLimit(std::chrono::milliseconds(number(args[0])),
                                           std::chrono::milliseconds(number(args[1])));
        return Result::Done;
    }
    static const QStringList verbs = {"click", "focus", "close", "set", "type", "key", "pick"};
    if (!verbs.contains(verb))
        fail(QStringLiteral("no such verb: ") + verb);
    needArgs(args, verbs.indexOf(verb) < 3 ? 1 : 2, "VERB CONTROL ...");
    const QString path = args[0].section(u'.', 0, 0);
    control(QStringLiteral("frmDragRacing"));
    // A window the last step opens may take a turn of the event loop to show.
    QObject* c = findControl(path);
    if (!c)
        return retry(kSettleMs, QStringLiteral("no control named ") + path);
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
    } else {
        pickRow(c, number(args[1]));
    }
    return Result::Done;
}

ScenarioRunner::Result ScenarioRunner::retry(int limitMs, const QString& failure) const
{
    if (!m_since.hasExpired(limitMs))
        return Result::Again;
    fail(failure);
}

ScenarioRunner::Result ScenarioRunner::compare(const QStringList& actual,
                                               const QStringList& expected) const
{
    if (actual == expected)
        return Result::Done;
    return retry(
        kSettleMs,
        QStringLiteral("actual:   %1\n   expected: %2").arg(quoted(actual), quoted(expected)));
}

QByteArray ScenarioRunner::wireSinceLastCheck() const
{
    const QByteArray all = m_peer ? m_peer->received() : m_rig->memoryPort.written();
    return all.mid(m_wireSeen);
}

ScenarioRunner::Result ScenarioRunner::expect(const QStringList& args)
{
    needArgs(args, 1, "expect WHAT VALUES...");
    const QString what = args[0];
    const QStringList values = args.mid(1);
    control(QStringLiteral("frmDragRacing"));
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
        const Result r = compare(lines(wireSinceLastCheck()), lines(bytes(values)));
        if (r == Result::Done)
            m_wireSeen += bytes(values).size();
        return r;
    }
    if (what == u"file") {
        needArgs(args, 3, "expect file NAME BYTES");
        return compare(lines(fileBytes(m_rig->dir.filePath(values[0]))),
                       lines(bytes(values.mid(1))));
    }
    if (what == u"log") {
        needArgs(args, 2, "expect log RACES");
        return compare({QString::number(m_rig->log().count())}, values);
    }
    if (what == u"sounds")
        return compare(m_rig->sound.played, values);
    if (what == u"lamps")
        return compare(lamps(control(QStringLiteral("frmDiag"))), values);
    const QString path = what.section(u'.', 0, 0);
    const QString property = what.section(u'.', 1);
    if (property.isEmpty())
        fail(QStringLiteral("expect CONTROL.PROPERTY VALUES..."));
    QObject* c = findControl(path);
    if (property == u"exists")
        return compare({c ? QStringLiteral("true") : QStringLiteral("false")}, values);
    if (!c)
        return retry(kSettleMs, QStringLiteral("no control named ") + path);
    return compare(readProperty(c, property), values);
}

} // namespace halvex::test
