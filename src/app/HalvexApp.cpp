#include "app/HalvexApp.h"

#include "app/ResultsPublishing.h"
#include "data/RaceLog.h"
#include "data/Settings.h"
#include "event/Event.h"
#include "event/EventDatabase.h"
#include "event/EventExport.h"
#include "event/EventFiles.h"
#include "event/EventRaceStore.h"
#include "event/RoundControl.h"
#include "link/LinkWatch.h"
#include "link/QtSerialPort.h"
#include "link/TimingUnit.h"
#include "link/frmDelay.h"
#include "link/frmDiag.h"
#include "periphery/Password.h"
#include "periphery/WebWindow.h"
#include "periphery/frmChangePassword.h"
#include "periphery/frmDragAbout.h"
#include "periphery/frmDragLoginSetup.h"
#include "periphery/frmHelp.h"
#include "periphery/frmSplashPrint.h"
#include "periphery/frmTip.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/QtPrompter.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtSound.h"
#include "platform/Random.h"
#include "race/Credits.h"
#include "race/RaceSession.h"
#include "race/Scoreboard.h"
#include "race/SetupModel.h"
#include "race/WindowState.h"
#include "race/frmDragRacing.h"
#include "race/frmEliminations.h"
#include "race/frmEntries.h"
#include "race/frmLoadEvent.h"
#include "race/frmNewEvent.h"
#include "race/frmQualifications.h"
#include "reports/ExcelFileV2.h"
#include "reports/GridExport.h"
#include "reports/QtPrintSurface.h"
#include "reports/TimeSlip.h"
#include "reports/frmDragStats.h"
#include "reports/frmGridData.h"
#include "reports/frmScoreboard.h"
#include "settings/frmDragSettings.h"
#include "station/EventServerControl.h"
#include "station/frmEventServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QHash>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringListModel>
#include <QTimer>

#include <functional>
#include <utility>

namespace halvex {

struct PlatformServices::Parts
{
    QString layOutFailure;
    ProgramFolder folder = ProgramFolder::fromEnvironment(&layOutFailure);
    QtPrompter prompter;
    QtSerialPort port{folder};
    SystemClock clock;
    SystemRandom random;
    QtSettingsStore store;
    QtSound sound{folder};
    DefaultPrinterSurface printer;
};

PlatformServices::PlatformServices() : m_parts(std::make_unique<Parts>())
{
    // The program goes on with the folder as it is: the missing files are reported as they are
    // read, as in any program folder.
    if (!m_parts->layOutFailure.isEmpty())
        m_parts->prompter.message(
            QStringLiteral("The program folder %1 could not be laid out from the sample:\r\n%2")
                .arg(QDir::toNativeSeparators(m_parts->folder.dir()), m_parts->layOutFailure),
            {}, Buttons::Ok, Icon::Warning);
}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services()
{
    Parts& p = *m_parts;
    return Services{p.prompter, p.port, p.clock, p.random, p.store, p.sound, p.printer, p.folder};
}

namespace {

const QString kEventTitle = QStringLiteral("Event");
// Where the event chosen last is remembered, among the operator's options.
const QString kEventSection = QStringLiteral("Event");
const QString kChosenEventKey = QStringLiteral("Chosen");

// The options are kept under the executable's name, as the tips option is.
QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// Runs `then` once, in the event loop's turn after the widget's first paint (or after a second,
// should the platform never paint it).
class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget* widget, std::function<void()> then)
        : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
        QTimer::singleShot(1000, this, &AfterFirstPaint::run);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, &AfterFirstPaint::run);
        }
        return false;
    }

private:
    void run()
    {
        if (!m_then)
            return;
        const std::function<void()> then = std::exchange(m_then, nullptr);
        deleteLater();
        then();
    }

    std::function<void()> m_then;
};

void afterFirstPaint(QWidget* widget, std::function<void()> then)
{
    new AfterFirstPaint(widget, std::move(then));
}

} // namespace

struct HalvexApp::Parts
{
    explicit Parts(Services s) : services(std::move(s)) {}

    Services services;
    Settings settings;
    RaceLog log;
    EventRaceStore journal{services.folder.dir(), services.clock.now()};
    WindowState windowState;
    Credits credits{services.folder};
    Password password{services.folder};
    TimingUnit unit{services.port, services.prompter, services.clock, settings};
    SetupModel setup;
    RaceSession session{unit,    setup,   settings,        log,
                        journal, credits, services.random, services.prompter};
    Scoreboard board;
    RoundControl rounds{setup};
    EventServerControl server{QDir(services.folder.dir()).filePath(ServerAddress::kFileName),
                              services.prompter, journal, rounds};
    ResultsPublishing publishing{services.prompter, services.store, executableName()};
    // A publish is due in the next turn of the event loop: the changes of one pass come as one.
    bool publishDue = false;
    frmDragRacing window{services, settings, windowState, credits, unit, setup, session};
    QPointer<frmDelay> delay;
    QPointer<frmDragStats> stats;
    QPointer<frmHelp> help;
    QPointer<frmScoreboard> scoreboard;
    QPointer<frmQualifications> qualifications;
    QPointer<frmEliminations> eliminations;
    // A quit asked for from outside (a signal) asks the operator nothing.
    bool askBeforeQuit = true;
    bool startupFinished = false;

    void showHelp(QWidget* owner = nullptr);
    void showStartDelay();
    void showResult(const RaceResult& result);
    // The event could not be written: the operator hears of it once a run.
    void warnJournal(const QString& description);
    // Start-up: the port opened, the unit greeted and its link watched.
    void connectUnit();
    // Start-up: the races of a run that ended without quitting, back into the log if wanted.
    void offerRestore();
    // File, Export Event: every pass of the day's practice event as a spreadsheet file.
    void exportEvent();
    // The rounds windows and publishing work on the chosen event only; without one the
    // operator is told so.
    bool eventChosenOrTold();
    // Publish After Every Pass: the chosen event changed.
    void republish();
    // The folder of the event files.
    QString eventsFolder() const
    {
        return QDir(services.folder.dir()).filePath(EventRaceStore::kFolderName);
    }
    // The passes that follow go to this event, also after a restart; throws halvex::Failure,
    // choosing nothing.
    void chooseEvent(const QString& path);
    // Start-up: the event chosen in an earlier run takes the passes again.
    void reopenChosenEvent();
    // A race's shown and committed passes belong in one event: none is chosen in between.
    bool raceUnfinished();
    // The ladder of the class in the lanes, or of the class on deck, while it is in its
    // eliminations; nothing otherwise.
    void showLadderOnBoard();
    // Mode, Qualifications and Mode, Eliminations: one window each, over the chosen event.
    template <typename W, typename Make> void openRounds(QPointer<W>& shown, Make make);
    // File, New Event, then its entries.
    void newEvent();
    // The entries window of an event; throws halvex::Failure for a damaged one.
    void editEntries(Event& event, QWidget* owner);
    // File, Save Event: a copy of the event the passes go to, under a name the operator chooses.
    void saveEvent();
    // Exit: races the event could not keep may be saved as a spreadsheet first.
    void offerSaveBeforeQuit();
    // Settings menu: the password first, then the settings (or, given, another window of them).
    void openLogin(bool modal, std::function<void()> then = {});
    // Settings, Event Server.
    void openEventServer();
    void openChangePassword();
    void openSettings();
    // Empty until the about window has been opened in this run.
    QString programTitle;

    void printSlip(const RaceResult& result)
    {
        if (PrintTimeSlip(services.printer, services.prompter, result, settings.record(),
                          programTitle, generalDateText(services.clock.now()))) {
            // Modal to the operator for its two seconds, without holding up the program.
            auto* notice = new frmSplashPrint(&window);
            notice->setAttribute(Qt::WA_DeleteOnClose);
            notice->setWindowModality(Qt::ApplicationModal);
            notice->show();
        }
    }
};

void HalvexApp::Parts::showHelp(QWidget* owner)
{
    // Opened from a modal window (the settings' Help), the help belongs to that window, so the
    // modal window does not block it.
    if (!owner)
        owner = QApplication::activeModalWidget();
    if (!owner)
        owner = &window;
    if (help && help->parentWidget() != owner)
        delete help.data();
    if (!help)
        help = new frmHelp(services.folder, owner);
    help->show();
    help->raise();
    help->activateWindow();
}

void HalvexApp::Parts::showStartDelay()
{
    const DragSettings& s = settings.record();
    delay = new frmDelay(services.random, s.RandomStartMin, s.RandomStartMaxIndex, &window);
    delay->setAttribute(Qt::WA_DeleteOnClose);
    // Modal as the racers are held, yet the event loop is the program's own.
    delay->setWindowModality(Qt::ApplicationModal);
    QObject::connect(delay, &QDialog::finished, &session, &RaceSession::endDelay);
    delay->show();
}

void HalvexApp::Parts::showResult(const RaceResult& result)
{
    auto* window = new frmDragStats(
        result, session, [this](const RaceResult& r) { printSlip(r); },
        this->window.mnuPreferencenesPrintSlip->isChecked(), &this->window);
    stats = window;
    window->show();
    // The operator reads the result and answers it with Enter.
    window->raise();
    window->activateWindow();
}

void HalvexApp::Parts::warnJournal(const QString& description)
{
    services.prompter.message(description +
                                  QStringLiteral("\r\nRacing goes on; the races stay in the race "
                                                 "data window and are written with the next one."),
                              kEventTitle, Buttons::Ok, Icon::Warning);
}

void HalvexApp::Parts::offerRestore()
{
    std::optional<RaceStore::Unfinished> found;
    try {
        found = journal.findUnfinished();
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    if (!found)
        return;
    const Answer answer =
        services.prompter.message(QStringLiteral("The last session ended unexpectedly with %1 "
                                                 "races. Restore them?")
                                      .arg(found->races()),
                                  {}, Buttons::YesNo, Icon::Question);
    // Restored races are kept as this run's passes first; the old run is settled only once they
    // are safe there, so it is offered again otherwise.
    if (answer == Answer::Yes && !session.restore(*found))
        return;
    try {
        journal.markClosed(*found);
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle);
    }
}

void HalvexApp::Parts::exportEvent()
{
    if (!QFileInfo::exists(journal.path())) {
        services.prompter.message(QStringLiteral("No race has been kept in today's event yet."),
                                  kEventTitle);
        return;
    }
    const QString proposed =
        QFileInfo(proposedExportName(services.folder, services.clock.now(), false)).absolutePath() +
        u'/' + QFileInfo(journal.path()).completeBaseName();
    QString fileType = exportFilter(ExportFormat::Workbook);
    const QString name = services.prompter.saveFileName(QStringLiteral("Export Event"), proposed,
                                                        exportFilters(), &fileType);
    if (name.isEmpty())
        return;
    const ExportFormat format = exportFormatFor(name, fileType);
    try {
        const EventDatabase db(journal.path());
        writeFileAtomically(withExportSuffix(name, format),
                            exportGrid(eventPassesGrid(db), format, QStringLiteral("Passes")));
        rememberExportFolder(name);
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle);
    }
}

bool HalvexApp::Parts::raceUnfinished()
{
    if (session.state() == RaceSession::State::Idle)
        return false;
    services.prompter.message(QStringLiteral("Close the race's result first: the race is kept in "
                                             "the event it was shown in."),
                              kEventTitle, Buttons::Ok, Icon::Warning);
    return true;
}

void HalvexApp::Parts::chooseEvent(const QString& path)
{
    journal.useEvent(path);
    server.follow(path);
    window.showChosenEvent(journal.eventName());
    services.store.setValue(executableName(), kEventSection, kChosenEventKey, path);
    // The rounds windows show the event the passes go to: another one closes them.
    if (rounds.isOpen() && rounds.path() != path) {
        delete qualifications.data();
        delete eliminations.data();
        rounds.close();
        board.setOnDeck({});
        board.hideLadder();
    }
}

void HalvexApp::Parts::reopenChosenEvent()
{
    const QString path =
        services.store.value(executableName(), kEventSection, kChosenEventKey, QString());
    if (path.isEmpty())
        return;
    try {
        if (!QFileInfo::exists(path))
            throw Failure(QStringLiteral("The file is no longer there."));
        chooseEvent(path);
    } catch (const Failure& f) {
        // Asked once: the day's practice event takes the passes until another is chosen.
        services.store.setValue(executableName(), kEventSection, kChosenEventKey, QString());
        services.prompter.message(QStringLiteral("The event chosen last, \"%1\", cannot be opened: "
                                                 "%2\r\nRaces go to today's practice event until "
                                                 "you choose one (File, Load Event).")
                                      .arg(QDir::toNativeSeparators(path), f.description()),
                                  kEventTitle, Buttons::Ok, Icon::Warning);
    }
}

void HalvexApp::Parts::showLadderOnBoard()
{
    try {
        QString shown;
        if (const std::optional<EventPairing> pairing = setup.pairing())
            shown = pairing->className;
        else if (const std::vector<CalledPair> order = rounds.waiting(); !order.empty())
            shown = order.front().className;
        if (rounds.isOpen() && !shown.isEmpty() && rounds.rounds().ladderStarted(shown)) {
            board.showLadder(rounds.rounds().bracket(shown));
            return;
        }
    } catch (const Failure&) {
        // An event that cannot be read is told by the rounds windows; the board shows its races.
    }
    board.hideLadder();
}

bool HalvexApp::Parts::eventChosenOrTold()
{
    if (journal.eventChosen())
        return true;
    services.prompter.message(QStringLiteral("Choose an event first: File, New Event or "
                                             "File, Load Event."),
                              kEventTitle, Buttons::Ok, Icon::Information);
    return false;
}

void HalvexApp::Parts::republish()
{
    if (!publishing.afterEveryPass() || !journal.eventChosen() || std::exchange(publishDue, true))
        return;
    QTimer::singleShot(0, &window, [this] {
        publishDue = false;
        if (journal.eventChosen())
            publishing.eventChanged(journal.path(), services.clock.now(), setup.pairing());
    });
}

template <typename W, typename Make>
void HalvexApp::Parts::openRounds(QPointer<W>& shown, Make make)
{
    if (!eventChosenOrTold())
        return;
    try {
        rounds.open(journal.path());
        rounds.refresh();
        if (!shown) {
            shown = make();
            shown->setAttribute(Qt::WA_DeleteOnClose);
        }
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle, Buttons::Ok, Icon::Warning);
        return;
    }
    shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void HalvexApp::Parts::editEntries(Event& event, QWidget* owner)
{
    if (event.database().isReadOnly())
        throw Failure(event.database().damage());
    if (const QString why = server.entriesRefusal(event.database().path()); !why.isEmpty())
        throw Failure(why);
    const auto names = [](const QComboBox* box) {
        return qobject_cast<QStringListModel*>(box->model())->stringList();
    };
    frmEntries entries(event, services.prompter, names(window.cmbRacers[0]),
                       names(window.cmbCars[0]), owner);
    entries.setRemovalRefusal(server.removalRefusal(event.database().path()));
    entries.exec();
    server.eventWritten();
    if (rounds.isOpen())
        rounds.refresh();
}

void HalvexApp::Parts::newEvent()
{
    if (raceUnfinished())
        return;
    frmNewEvent dialog(services.prompter, eventsFolder(), services.clock.now().date(), &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        chooseEvent(dialog.createdPath());
        Event event(dialog.createdPath());
        editEntries(event, &window);
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle, Buttons::Ok, Icon::Warning);
    }
}

void HalvexApp::Parts::saveEvent()
{
    const QString path = journal.path();
    if (!QFileInfo::exists(path)) {
        services.prompter.message(QStringLiteral("No race has been kept in today's event yet."),
                                  kEventTitle);
        return;
    }
    const QString filter = QStringLiteral("Event files (*.sqlite)");
    QString name = services.prompter.saveFileName(
        QStringLiteral("Save Event"),
        QFileInfo(path).absolutePath() + u'/' + QFileInfo(path).completeBaseName() +
            QStringLiteral(" copy") + EventRaceStore::kSuffix,
        filter);
    if (name.isEmpty())
        return;
    if (!name.endsWith(EventRaceStore::kSuffix, Qt::CaseInsensitive))
        name += EventRaceStore::kSuffix;
    // The copy takes the races that could not be written yet, when they can be now.
    try {
        journal.writeBacklog();
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle, Buttons::Ok, Icon::Warning);
    }
    try {
        Event(path).saveCopy(name);
    } catch (const Failure& f) {
        services.prompter.message(f.description(), kEventTitle, Buttons::Ok, Icon::Warning);
    }
}

void HalvexApp::Parts::offerSaveBeforeQuit()
{
    if (!askBeforeQuit || journal.keptAll() || log.races() == 0)
        return;
    const Answer answer = services.prompter.message(
        QStringLiteral("Races of this session could not be written to the event and are lost "
                       "when the program ends.\r\nSave the race data first?"),
        kEventTitle, Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes)
        return;
    frmGridData data(services, settings, log, &window);
    data.mnuSave_Click();
}

void HalvexApp::Parts::openEventServer()
{
    frmEventServer dialog(server.address(), &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        server.setAddress(dialog.address());
    } catch (const Failure& f) {
        services.prompter.message(f.description(), QStringLiteral("Event Server"), Buttons::Ok,
                                  Icon::Warning);
    }
}

void HalvexApp::Parts::openLogin(bool modal, std::function<void()> then)
{
    auto* login = new frmDragLoginSetup(password, services.prompter, &window);
    QObject::connect(login, &QDialog::finished, login, &QObject::deleteLater);
    // Each window closes before the next one opens.
    QObject::connect(
        login, &frmDragLoginSetup::loggedIn, &window,
        [this, then] { then ? then() : openSettings(); }, Qt::QueuedConnection);
    QObject::connect(
        login, &frmDragLoginSetup::changePasswordChosen, &window, [this] { openChangePassword(); },
        Qt::QueuedConnection);
    QObject::connect(login, &frmDragLoginSetup::cancelled, &window, [this] {
        window.raise();
        window.activateWindow();
    });
    if (modal)
        login->exec();
    else
        login->show();
}

void HalvexApp::Parts::openChangePassword()
{
    auto* change = new frmChangePassword(password, services.prompter, &window);
    QObject::connect(change, &QDialog::finished, change, &QObject::deleteLater);
    // The settings open modally, as after a login, so no race runs on half-edited settings.
    QObject::connect(
        change, &frmChangePassword::passwordChanged, &window, [this] { openSettings(); },
        Qt::QueuedConnection);
    QObject::connect(
        change, &frmChangePassword::cancelled, &window, [this] { openLogin(false); },
        Qt::QueuedConnection);
    change->show();
}

void HalvexApp::Parts::openSettings()
{
    // The port check opens and closes the port: the link watch keeps off meanwhile.
    if (!unit.hold(TimingUnit::Holder::PortCheck))
        return;
    const auto released = qScopeGuard([this] { unit.release(TimingUnit::Holder::PortCheck); });
    frmDragSettings dialog(services,
                           SettingsAcceptance::Parts{settings, services.port, unit.command(),
                                                     services.prompter, windowState, credits,
                                                     services.folder,
                                                     [this] { window.cmdCoin->hide(); }},
                           &window);
    QObject::connect(&dialog, &frmDragSettings::helpRequested, &window, [this] { showHelp(); });
    dialog.exec();
    window.raise();
    window.activateWindow();
}

HalvexApp::HalvexApp(Services services) : m_parts(std::make_unique<Parts>(std::move(services)))
{
    Parts& p = *m_parts;
    QObject::connect(&p.windowState, &WindowState::demoModeChanged, &p.unit,
                     &TimingUnit::setDemoMode);

    QObject::connect(&p.log, &RaceLog::cleared, &p.window,
                     [&p] { p.journal.logCleared(p.services.clock.now()); });
    QObject::connect(&p.session, &RaceSession::storeFailed, &p.window,
                     [&p](const QString& description) { p.warnJournal(description); });

    QObject::connect(&p.session, &RaceSession::delayStarted, &p.window,
                     [&p] { p.showStartDelay(); });
    // A race given up while the racers are held (the program quits) takes its window along.
    QObject::connect(&p.session, &RaceSession::stateChanged, &p.window,
                     [&p](RaceSession::State state) {
                         if (state != RaceSession::State::Delay && p.delay)
                             p.delay->abandon();
                     });
    QObject::connect(&p.session, &RaceSession::resultReady, &p.window,
                     [&p](const RaceResult& result) { p.showResult(result); });
    // A pass is kept before its result shows; the rounds windows show it with the result.
    QObject::connect(&p.session, &RaceSession::resultReady, &p.rounds, &RoundControl::refresh);
    QObject::connect(&p.session, &RaceSession::pendingChanged, &p.rounds, &RoundControl::refresh);
    // The scoreboard follows the call order, and shows the ladder of the class racing next once
    // that class is in its eliminations.
    QObject::connect(&p.rounds, &RoundControl::callOrderChanged, &p.board,
                     [&p](const QString& onDeck, const QString&) { p.board.setOnDeck(onDeck); });
    QObject::connect(&p.rounds, &RoundControl::changed, &p.board, [&p] { p.showLadderOnBoard(); });
    QObject::connect(p.window.mnuQualifications, &QAction::triggered, &p.window, [&p] {
        p.openRounds(p.qualifications, [&p] {
            return new frmQualifications(p.rounds, p.services.prompter, p.services.printer,
                                         p.services.random, &p.window);
        });
    });
    QObject::connect(p.window.mnuEliminations, &QAction::triggered, &p.window, [&p] {
        p.openRounds(p.eliminations, [&p] {
            return new frmEliminations(p.rounds, p.services.prompter, p.services.printer,
                                       &p.window);
        });
    });
    QObject::connect(&p.window, &frmDragRacing::aboutToQuit, &p.window,
                     [&p] { p.offerSaveBeforeQuit(); });

    // The scoreboard follows the run from its start, so it opens on the last races too.
    p.board.follow(p.session, p.setup, p.settings);
    QObject::connect(&p.log, &RaceLog::cleared, &p.board, &Scoreboard::forgetRaces);
    QObject::connect(p.window.mnuViewScoreboard, &QAction::triggered, &p.window, [&p] {
        if (p.scoreboard) {
            p.scoreboard->setWindowState(p.scoreboard->windowState() & ~Qt::WindowMinimized);
            p.scoreboard->show();
            p.scoreboard->raise();
            return;
        }
        p.scoreboard = new frmScoreboard(p.board, &p.window);
        p.scoreboard->present(p.window.screen());
    });

    QObject::connect(p.window.mnuHelpIndex, &QAction::triggered, &p.window, [&p] { p.showHelp(); });
    // The race data opens once a race has been computed.
    QObject::connect(p.window.mnuLoggedRaces, &QAction::triggered, &p.window, [&p] {
        if (p.log.raceCounter() <= 0)
            return;
        frmGridData data(p.services, p.settings, p.log, &p.window);
        data.exec();
    });
    QObject::connect(p.window.mnuDiagnostic, &QAction::triggered, &p.window, [&p] {
        if (!p.unit.hold(TimingUnit::Holder::Diagnostics))
            return;
        const auto closed = qScopeGuard([&p] { p.unit.release(TimingUnit::Holder::Diagnostics); });
        frmDiag diag(p.unit.command(), p.services.prompter, p.settings.record(), &p.window);
        diag.exec();
    });
    QObject::connect(&p.unit, &TimingUnit::connectedChanged, &p.window,
                     &frmDragRacing::showLinkStatus);
    QObject::connect(p.window.mnuVantoraWebSite, &QAction::triggered, &p.window, [&p] {
        openWebPageWindows(p.services.folder, p.services.prompter, &p.window);
    });
    // The main window saves its state first, through its own connection made before this one.
    QObject::connect(p.window.mnuSettingsSettings, &QAction::triggered, &p.window,
                     [&p] { p.openLogin(true); });
    QObject::connect(p.window.mnuExportEvent, &QAction::triggered, &p.window,
                     [&p] { p.exportEvent(); });
    QObject::connect(p.window.mnuPublishResults, &QAction::triggered, &p.window, [&p] {
        if (p.eventChosenOrTold())
            p.publishing.publishAsked(p.journal.path(), p.services.clock.now(), p.setup.pairing());
    });
    p.window.mnuPublishAfterEveryPass->setChecked(p.publishing.afterEveryPass());
    QObject::connect(
        p.window.mnuPublishAfterEveryPass, &QAction::triggered, &p.window, [&p](bool on) {
            p.window.mnuPublishAfterEveryPass->setChecked(p.publishing.setAfterEveryPass(on));
            p.republish();
        });
    // Every pass, correction, draw and pair called ends in the rounds' refresh.
    QObject::connect(&p.rounds, &RoundControl::changed, &p.window, [&p] { p.republish(); });
    QObject::connect(p.window.mnuFileNewEvent, &QAction::triggered, &p.window,
                     [&p] { p.newEvent(); });
    QObject::connect(p.window.mnuFileLoadEvent, &QAction::triggered, &p.window, [&p] {
        if (p.raceUnfinished())
            return;
        frmLoadEvent* shown = nullptr;
        // The server's events, by the file that keeps this station's copy of each.
        auto onServer = std::make_shared<QHash<QString, QString>>();
        frmLoadEvent dialog(
            p.services.prompter, p.eventsFolder(),
            [&p, onServer](const QString& path) {
                if (onServer->contains(path))
                    p.server.adopt(path, onServer->value(path));
                p.chooseEvent(path);
            },
            [&p, &shown](const QString& path) {
                Event event(path);
                p.editEntries(event, shown);
            },
            &p.window);
        shown = &dialog;
        QPointer<frmLoadEvent> alive(&dialog);
        p.server.listEvents(
            [&p, alive, onServer](const std::vector<ServerEvent>& events, const QString& error) {
                if (!alive)
                    return;
                std::vector<EventListing> listed;
                for (const ServerEvent& e : events) {
                    const QString path = p.server.copyPath(p.eventsFolder(), e);
                    onServer->insert(path, e.schema);
                    listed.push_back({path, e.name, QDate::fromString(e.date, Qt::ISODate)});
                }
                alive->addEvents(listed, error.isEmpty() ? QStringLiteral("on the event server")
                                                         : QString());
                if (!error.isEmpty())
                    alive->setToolTip(error);
            });
        dialog.exec();
    });
    QObject::connect(p.window.mnuSaveEvent, &QAction::triggered, &p.window,
                     [&p] { p.saveEvent(); });
    // A shared event: the server's settings, the link's status line, and what the link sends.
    QObject::connect(&p.server, &EventServerControl::statusShown, &p.window,
                     &frmDragRacing::showServerStatus);
    QObject::connect(&p.server, &EventServerControl::followingChanged, &p.session,
                     &RaceSession::setFollowing);
    QObject::connect(&p.session, &RaceSession::resultReady, &p.server,
                     &EventServerControl::eventWritten);
    QObject::connect(&p.rounds, &RoundControl::changed, &p.server,
                     &EventServerControl::eventWritten);
    QObject::connect(p.window.mnuPutEventOnServer, &QAction::triggered, &p.server,
                     &EventServerControl::shareChosenEvent);
    QObject::connect(p.window.mnuTakeControl, &QAction::triggered, &p.server,
                     &EventServerControl::takeControl);
    // The station's place on the server is a setting like the others: behind the password.
    QObject::connect(p.window.mnuEventServer, &QAction::triggered, &p.window,
                     [&p] { p.openLogin(true, [&p] { p.openEventServer(); }); });
    QObject::connect(p.window.mnuHelpAbout, &QAction::triggered, &p.window, [&p] {
        frmDragAbout about(p.programTitle, &p.window);
        about.exec();
    });
}

HalvexApp::~HalvexApp()
{
    // The statistics window commits its race through the session; it goes before the session.
    delete m_parts->stats.data();
    m_parts->session.quit();
    m_parts->journal.close();
}

void HalvexApp::load()
{
    m_parts->window.load();
    m_parts->connectUnit();
}

void HalvexApp::Parts::connectUnit()
{
    window.connectUnit();
    unit.startWatching();
}

void HalvexApp::quitWithoutAsking()
{
    m_parts->askBeforeQuit = false;
    // A race awaiting its report drops every close request: it ends first.
    m_parts->session.quit();
    // Whatever modal window is up goes first, as the operator would close it.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    m_parts->window.close();
}

void HalvexApp::start()
{
    Parts& p = *m_parts;
    p.window.load();
    p.window.show();
    // The unit and the questions wait until the window is on the screen: opening the port (its
    // lock file, the line's settings) and looking for an unfinished run (the event's database)
    // are work the first paint need not wait for. The port's messages still come first.
    afterFirstPaint(&p.window, [&p] {
        p.connectUnit();
        p.reopenChosenEvent();
        p.offerRestore();
        // Start-up ends with the tip of the day, unless the operator has switched it off.
        frmTip tip(p.services.store, p.services.random, &p.window);
        if (tip.load(p.services.folder))
            tip.exec();
        p.startupFinished = true;
    });
}

bool HalvexApp::startupFinished() const
{
    return m_parts->startupFinished;
}

frmDragRacing& HalvexApp::mainWindow()
{
    return m_parts->window;
}

void HalvexApp::showHelp(QWidget* owner)
{
    m_parts->showHelp(owner);
}

frmDragStats* HalvexApp::statisticsWindow() const
{
    return m_parts->stats;
}

frmScoreboard* HalvexApp::scoreboardWindow() const
{
    return m_parts->scoreboard;
}

Services& HalvexApp::services()
{
    return m_parts->services;
}

Credits& HalvexApp::credits()
{
    return m_parts->credits;
}

Settings& HalvexApp::settings()
{
    return m_parts->settings;
}

RaceLog& HalvexApp::raceLog()
{
    return m_parts->log;
}

WindowState& HalvexApp::windowState()
{
    return m_parts->windowState;
}

ModCommand& HalvexApp::command()
{
    return m_parts->unit.command();
}

SetupModel& HalvexApp::setup()
{
    return m_parts->setup;
}

LinkWatch& HalvexApp::linkWatch()
{
    return m_parts->unit.linkWatch();
}

RaceSession& HalvexApp::session()
{
    return m_parts->session;
}

} // namespace halvex
