#pragma once

#include "periphery/WebWindow.h"
#include "reports/frmGridData.h"
#include "support/WindowRig.h"

#include <QProcess>
#include <QTest>

#include <functional>

namespace halvex::test {

// The web page window's program that runs now, once one does.
inline QProcess* runningBrowser(QWidget& window)
{
    QProcess* running = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (QProcess* p : window.findChildren<QProcess*>(kBrowserProgramName))
                if (p->state() == QProcess::Running)
                    running = p;
            return running != nullptr;
        },
        20000);
    return running;
}

// Opens the race data window from the main window's menu, acts on it and closes it.
inline void withRaceData(WindowRig& rig, const std::function<void(frmGridData&)>& act)
{
    whenModalShown("frmGridData", [act](QWidget* w) {
        act(*static_cast<frmGridData*>(w));
        w->close();
    });
    rig.window().mnuLoggedRaces->trigger();
}

} // namespace halvex::test
