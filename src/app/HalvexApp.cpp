#include "app/HalvexApp.h"

#include "data/RaceLog.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "link/QtSerialPort.h"
#include "link/frmDelay.h"
#include "link/frmDiag.h"
#include "periphery/frmBrowser.h"
#include "periphery/frmHelp.h"
#include "platform/Clock.h"
#include "platform/QtPrompter.h"
#include "platform/QtSettingsStore.h"
#include "platform/Random.h"
#include "race/RaceSession.h"
#include "race/WindowState.h"
#include "race/frmDragRacing.h"
#include "reports/frmDragStats.h"

#include <QAction>

namespace halvex {

struct PlatformServices::Parts
{
    ProgramFolder folder = ProgramFolder::fromEnvironment();
    QtPrompter prompter;
    QtSerialPort port{folder};
    SystemClock clock;
    SystemRandom random;
    QtSettingsStore store;
};

PlatformServices::PlatformServices() : m_parts(std::make_unique<Parts>()) {}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services()
{
    Parts& p = *m_parts;
    return Services{p.prompter, p.port, p.clock, p.random, p.store, p.folder};
}

struct HalvexApp::Parts
{
    explicit Parts(Services s) : services(std::move(s)) {}

    Services services;
    Settings settings;
    RaceLog log;
    WindowState windowState;
    ModCommand command{services.port, services.prompter, services.clock};
    RaceSession session{command, settings, log, services.random, services.prompter};
    frmDragRacing window{services, settings, windowState, command, session};
    QPointer<frmDragStats> stats;
    QPointer<frmHelp> help;
};

HalvexApp::HalvexApp(Services services) : m_parts(std::make_unique<Parts>(std::move(services)))
{
    Parts& p = *m_parts;
    QObject::connect(&p.windowState, &WindowState::demoModeChanged, &p.command,
                     &ModCommand::setDemoMode);

    p.session.setStartDelay([&p] {
        const DragSettings& s = p.settings.record();
        frmDelay delay(p.services.random, s.RandomStartMin, s.RandomStartMaxIndex, &p.window);
        delay.exec();
    });
    QObject::connect(&p.session, &RaceSession::resultReady, &p.window,
                     [&p](const RaceResult& result) {
                         auto* stats = new frmDragStats(result, p.session, &p.window);
                         p.stats = stats;
                         stats->show();
                         // The operator reads the result and answers it with Enter.
                         stats->raise();
                         stats->activateWindow();
                     });

    QObject::connect(p.window.mnuDiagnostic, &QAction::triggered, &p.window, [&p] {
        frmDiag diag(p.command, p.services.prompter, p.settings.record(), &p.window);
        diag.exec();
    });
    QObject::connect(p.window.mnuHelpIndex, &QAction::triggered, &p.window, [this] { showHelp(); });
    QObject::connect(p.window.mnuVantoraWebSite, &QAction::triggered, &p.window, [&p] {
        const QString address = makerPageAddress(p.services.folder);
        {
            frmBrowser first(address, &p.window);
            first.StartingAddress = address;
            first.exec();
        }
        // The page is a file of the program folder; without it there is nothing to open.
        if (!p.services.folder.exists(kMakerPageFileName)) {
            p.services.prompter.message(
                QStringLiteral("Please make sure you are connected to the internet"), {},
                Buttons::Ok, Icon::Information);
            return;
        }
        auto* second = new frmBrowser(address, &p.window);
        second->setAttribute(Qt::WA_DeleteOnClose);
        second->StartingAddress = address;
        second->show();
    });
}

HalvexApp::~HalvexApp()
{
    // The statistics window commits its race through the session; it goes before the session.
    delete m_parts->stats.data();
}

void HalvexApp::load()
{
    m_parts->window.load();
}

void HalvexApp::start()
{
    load();
    m_parts->window.show();
}

frmDragRacing& HalvexApp::mainWindow()
{
    return m_parts->window;
}

void HalvexApp::showHelp(QWidget* owner)
{
    Parts& p = *m_parts;
    QWidget* parent = owner ? owner : &p.window;
    if (!p.help)
        p.help = new frmHelp(p.services.folder, parent);
    else if (p.help->parentWidget() != parent)
        p.help->setParent(parent, p.help->windowFlags());
    p.help->show();
    p.help->raise();
    p.help->activateWindow();
}

frmDragStats* HalvexApp::statisticsWindow() const
{
    return m_parts->stats;
}

Services& HalvexApp::services()
{
    return m_parts->services;
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

RaceSession& HalvexApp::session()
{
    return m_parts->session;
}

} // namespace halvex
