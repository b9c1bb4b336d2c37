#pragma once

#include "periphery/WebWindow.h"
#include "reports/frmGridData.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

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

// Answers the next modal window of the given object name (any, when null) from the event loop
// as soon as it is shown, so that no test blocks on it.
inline void whenModalShown(const char* name, std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, answer] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && (!name || w->objectName() == QLatin1String(name))) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start();
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
