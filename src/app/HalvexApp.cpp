#include "app/HalvexApp.h"

#include "link/ModCommand.h"
#include "platform/Clock.h"
#include "platform/QtPrompter.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/Random.h"
#include "platform/Services.h"
#include "race/ModDragRacing.h"
#include "race/frmDragRacing.h"

namespace halvex {

struct HalvexApp::Parts
{
    ProgramFolder folder = ProgramFolder::fromEnvironment();
    QtPrompter prompter;
    QtSerialPort port{folder};
    SystemClock clock;
    SystemRandom random;
    QtSettingsStore store;
    Services services{prompter, port, clock, random, store, folder};
    ModDragRacing globals;
    ModCommand command{port, prompter, clock, globals.DemoMode, globals.RaceOk};
    frmDragRacing window{services, globals, command};
};

HalvexApp::HalvexApp() : m_parts(std::make_unique<Parts>()) {}

HalvexApp::~HalvexApp() = default;

void HalvexApp::start()
{
    m_parts->window.load();
    m_parts->window.show();
}

frmDragRacing& HalvexApp::mainWindow()
{
    return m_parts->window;
}

} // namespace halvex
