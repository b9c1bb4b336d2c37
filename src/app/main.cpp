#include "app/HalvexApp.h"
#include "app/StartupTrace.h"
#include "data/MasterList.h"
#include "platform/QuitSignals.h"

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
    // The restore question and the tip of the day come once the event loop runs, so a quit
    // while either is up ends that loop too.
    halvex.start();
    return QApplication::exec();
}
