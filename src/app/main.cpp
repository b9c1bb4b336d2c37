#include "app/HalvexApp.h"
#include "app/StartupTrace.h"
#include "data/MasterList.h"
#include "platform/QuitSignals.h"

#include <QApplication>

#include <clocale>
#include <dlfcn.h>
#include <future>
#include <memory>
#include <system_error>

namespace {

// Reading the font configuration (its files and the font caches) is about a quarter of the
// start-up's instructions and needs no display, so it runs on a thread of its own while the
// application object connects to the display; the first font waits for it. The configuration
// library comes with Qt's GUI library and keeps one configuration per process, which Qt then
// finds ready. Looked up rather than linked: a Qt without it just starts as before.
std::future<int> prepareFonts()
{
    // Connecting to the display unsets the launcher's start-up notice from the environment,
    // which the thread reads meanwhile: such a start leaves the configuration to Qt.
    if (qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID"))
        return {};
    using Init = int (*)();
    const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"));
    if (!init)
        return {};
    // The application object takes the locale from the environment as it starts; taken here
    // first, it does not change while the thread reads numbers from the configuration files.
    std::setlocale(LC_ALL, "");
    try {
        return std::async(std::launch::async, init);
    } catch (const std::system_error&) {
        // No thread to be had: Qt reads the configuration itself, as without this.
        return {};
    }
}

} // namespace

int main(int argc, char* argv[])
{
    std::future<int> fonts = prepareFonts();
    halvex::prepareListOrder();
    QApplication app(argc, argv);
    if (fonts.valid())
        fonts.wait();
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
