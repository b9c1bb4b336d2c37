#pragma once

#include "data/Settings.h"
#include "settings/frmDragSettings.h"
#include "support/WindowRig.h"

#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace halvex::test {

// The settings window's OK over the running program: the port is reopened, the file written.
// True when OK closed the window as accepted.
inline bool settingsOk(WindowRig& rig, const std::function<void(frmDragSettings&)>& edit = {})
{
    HalvexApp& app = *rig.app;
    frmDragSettings w(app.services(),
                      SettingsAcceptance::Parts{app.settings(), app.services().port, app.command(),
                                                rig.prompter, app.windowState(), app.credits(),
                                                app.services().folder, [] {}});
    w.show();
    if (edit)
        edit(w);
    w.cmdOk->click();
    return w.isHidden() && w.result() == QDialog::Accepted;
}

} // namespace halvex::test
