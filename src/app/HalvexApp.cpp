#include "app/HalvexApp.h"

#include "data/RaceJournal.h"
#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/LinkWatch.h"
#include "link/ModCommand.h"
#include "link/QtSerialPort.h"
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
#include "race/WindowState.h"
#include "race/frmDragRacing.h"
#include "reports/QtPrintSurface.h"
#include "reports/TimeSlip.h"
#include "reports/frmDragStats.h"
#include "reports/frmGridData.h"
#include "reports/frmScoreboard.h"
#include "settings/frmDragSettings.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QScopeGuard>

namespace halvex {

struct PlatformServices::Parts
{
    ProgramFolder folder = ProgramFolder::fromEnvironment();
    QtPrompter prompter;
    QtSerialPort port{folder};
    SystemClock clock;
    SystemRandom random;
    QtSettingsStore store;
    QtSound sound{folder};
    DefaultPrinterSurface printer;
};

PlatformServices::PlatformServices() : m_parts(std::make_unique<Parts>()) {}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services()
{
    Parts& p = *m_parts;
    return Services{p.prompter, p.port, p.clock, p.random, p.store, p.sound, p.printer, p.folder};
}

struct HalvexApp::Parts
{
    explicit Parts(Services s) : services(std::move(s)) {}

    Services services;
    Settings settings;
    RaceLog log;
    RaceJournal journal{services.folder.dir(), services.clock.now()};
    bool journalFailed = false;
    WindowState windowState;
    Credits credits{services.folder};
    Password password{services.folder};
    ModCommand command{services.port, services.prompter, services.clock};
    RaceSession session{command, settings, log, credits, services.random, services.prompter};
    Scoreboard board;
    frmDragRacing window{services, settings, windowState, credits, command, session};
    // Diagnostics windows open: their polls own the link.
    int diagnosticsOpen = 0;
    LinkWatch link{services.port, command,
                   LinkWatch::Hooks{[this] { setUpUnit(); },
                                    [this] { return session.isBusy() || diagnosticsOpen > 0; }}};
    QPointer<frmDragStats> stats;
    QPointer<frmHelp> help;
    QPointer<frmScoreboard> scoreboard;

    void showHelp(QWidget* owner = nullptr);
    // The unit's settings as start-up sends them, after the port was opened again.
    void setUpUnit()
    {
        command.send("O");
        command.SendSignalPolarity(settings.record().InvertSignal);
        command.SendStagingMode(settings.record().PreStageStage);
    }
    // Copies the committed races to the journal; a failure is told once and sets journalFailed.
    void writeJournal();
    // Start-up: the races of a run that ended without quitting, back into the log if wanted.
    void offerRestore();
    // Settings menu: the password first, then the settings.
    void openLogin(bool modal);
    void openChangePassword();
    void openSettings();
    // Empty until the about window has been opened in this run.
    QString programTitle;

    void printSlip(const RaceResult& result)
    {
        if (PrintTimeSlip(services.printer, services.prompter, result, settings.record(),
                          programTitle, generalDateText(services.clock.now()))) {
            frmSplashPrint notice(&window);
            notice.exec();
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

void HalvexApp::Parts::writeJournal()
{
    try {
        journal.sync(log);
    } catch (const Failure& f) {
        // Racing goes on without the journal; the operator hears of it once a run.
        if (!journalFailed)
            services.prompter.message(
                QStringLiteral("The race journal in \"%1\" cannot be written:\r\n%2\r\n"
                               "Racing goes on; the races stay in the race data window.")
                    .arg(QDir(services.folder.dir()).filePath(RaceJournal::kFolderName),
                         f.description()),
                QStringLiteral("Race Journal"), Buttons::Ok, Icon::Warning);
        journalFailed = true;
    }
}

void HalvexApp::Parts::offerRestore()
{
    const std::optional<RaceJournal::Unfinished> found =
        RaceJournal::findUnfinished(services.folder.dir());
    if (!found)
        return;
    const Answer answer =
        services.prompter.message(QStringLiteral("The last session ended unexpectedly with %1 "
                                                 "races. Restore them?")
                                      .arg(found->races()),
                                  {}, Buttons::YesNo, Icon::Question);
    // Restored races are written to this run's journal by the commit they cause; the old file is
    // marked closed only once they are safe there, so it is not offered twice.
    if (answer == Answer::Yes && (log.restore(found->records) == 0 || journalFailed))
        return;
    try {
        RaceJournal::markClosed(found->path);
    } catch (const Failure& f) {
        services.prompter.message(f.description(), QStringLiteral("Race Journal"));
    }
}

void HalvexApp::Parts::openLogin(bool modal)
{
    auto* login = new frmDragLoginSetup(password, services.prompter, &window);
    QObject::connect(login, &QDialog::finished, login, &QObject::deleteLater);
    // Each window closes before the next one opens.
    QObject::connect(
        login, &frmDragLoginSetup::loggedIn, &window, [this] { openSettings(); },
        Qt::QueuedConnection);
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
    frmDragSettings dialog(
        services,
        SettingsAcceptance::Parts{settings, services.port, command, services.prompter, windowState,
                                  credits, services.folder, [this] { window.cmdCoin->hide(); }},
        &window);
    QObject::connect(&dialog, &frmDragSettings::helpRequested, &window, [this] { showHelp(); });
    dialog.exec();
    window.raise();
    window.activateWindow();
}

HalvexApp::HalvexApp(Services services) : m_parts(std::make_unique<Parts>(std::move(services)))
{
    Parts& p = *m_parts;
    QObject::connect(&p.windowState, &WindowState::demoModeChanged, &p.command,
                     &ModCommand::setDemoMode);

    QObject::connect(&p.log, &RaceLog::committed, &p.window, [&p] { p.writeJournal(); });
    QObject::connect(&p.log, &RaceLog::cleared, &p.window,
                     [&p] { p.journal.startNew(p.services.clock.now()); });

    p.session.setStartDelay([&p] {
        const DragSettings& s = p.settings.record();
        frmDelay delay(p.services.random, s.RandomStartMin, s.RandomStartMaxIndex, &p.window);
        delay.exec();
    });
    QObject::connect(&p.session, &RaceSession::resultReady, &p.window,
                     [&p](const RaceResult& result) {
                         auto* stats = new frmDragStats(
                             result, p.session, [&p](const RaceResult& r) { p.printSlip(r); },
                             p.window.mnuPreferencenesPrintSlip->isChecked(), &p.window);
                         p.stats = stats;
                         stats->show();
                         // The operator reads the result and answers it with Enter.
                         stats->raise();
                         stats->activateWindow();
                     });

    // The scoreboard follows the run from its start, so it opens on the last races too.
    p.board.follow(p.session, p.settings);
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
        frmDiag diag(p.command, p.services.prompter, p.settings.record(), &p.window);
        ++p.diagnosticsOpen;
        const auto closed = qScopeGuard([&p] { --p.diagnosticsOpen; });
        diag.exec();
    });
    QObject::connect(&p.link, &LinkWatch::connectedChanged, &p.window,
                     &frmDragRacing::showLinkStatus);
    QObject::connect(p.window.mnuVantoraWebSite, &QAction::triggered, &p.window, [&p] {
        openWebPageWindows(p.services.folder, p.services.prompter, &p.window);
    });
    // The main window saves its state first, through its own connection made before this one.
    QObject::connect(p.window.mnuSettingsSettings, &QAction::triggered, &p.window,
                     [&p] { p.openLogin(true); });
    QObject::connect(p.window.mnuHelpAbout, &QAction::triggered, &p.window, [&p] {
        frmDragAbout about(p.programTitle, &p.window);
        about.exec();
    });
}

HalvexApp::~HalvexApp()
{
    // The statistics window commits its race through the session; it goes before the session.
    delete m_parts->stats.data();
    m_parts->journal.close();
}

void HalvexApp::load()
{
    m_parts->window.load();
    m_parts->link.start();
}

void HalvexApp::start()
{
    load();
    Parts& p = *m_parts;
    p.window.show();
    p.offerRestore();
    // Start-up ends with the tip of the day, unless the operator has switched it off.
    frmTip tip(p.services.store, p.services.random, &p.window);
    if (tip.load(p.services.folder))
        tip.exec();
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
    return m_parts->command;
}

LinkWatch& HalvexApp::linkWatch()
{
    return m_parts->link;
}

RaceSession& HalvexApp::session()
{
    return m_parts->session;
}

} // namespace halvex
