#pragma once

#include "data/Settings.h"
#include "settings/frmDragSettings.h"
#include "support/WindowRig.h"

#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace halvex::test {

// The settings window's OK over the running program: the port is reopened, the file written.
inline void settingsOk(WindowRig& rig, const std::function<void(frmDragSettings&)>& edit = {})
{
    HalvexApp& app = *rig.app;
    frmDragSettings w(app.services(),
                      SettingsAcceptance::Parts{app.settings(), app.services().port, app.command(),
                                                rig.prompter, app.windowState(), app.credits(),
                                                app.services().folder, [] {}});
    if (edit)
        edit(w);
    w.cmdOk->click();
}

inline void pressStartRace(frmDragRacing& w)
{
    WindowRig::clickGetReadyWhenShown();
    w.cmdRace->click();
}

// Left: RT 0.0500, ET 1.0000; right: RT 0.0400, ET 1.0400. The left lane wins by 0.0300.
inline const QList<qint32> kLeftWins = {0,    0,     500,   400,   2500,  2400, 4500, 4600, 8000,
                                        8200, 10400, 10700, 10500, 10800, 0,    0,    0,    0};

} // namespace halvex::test
