#include "app/HalvexApp.h"
#include "app/StartupTrace.h"
#include "data/MasterList.h"
#include "platform/QuitSignals.h"
#include "race/frmDragRacing.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    halvex::prepareListOrder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex 3000"));
    QApplication::setOrganizationName(QStringLiteral("Halvex"));
    const std::unique_ptr<halvex::StartupTrace> trace(halvex::installStartupTrace(app));
    halvex::PlatformServices platform;
    halvex::HalvexApp halvex(platform.services());
    // Told to end from outside, the program quits as File, Exit does, asking nothing.
    const halvex::QuitSignals signals;
    QObject::connect(&signals, &halvex::QuitSignals::quitRequested, &app,
                     [&halvex] { halvex.quitWithoutAsking(); });
    halvex.start();
    // The tip of the day ends the start-up as a modal window: a quit while it was up (a signal,
    // or the main window's close box) found no event loop of the application's to end.
    if (!halvex.mainWindow().isVisible())
        return 0;
    return QApplication::exec();
}
