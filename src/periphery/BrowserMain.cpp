// halvex-browser: the web page window as a program of its own, beside the main program, which
// starts it from its Help menu (see WebWindow.h). The browser engine's libraries, its shared
// OpenGL context and its processes are this program's alone: the main program loads none of them.
//
//   halvex-browser [--transient-for WINDOW-ID] MAKER-ADDRESS [STARTING-ADDRESS]
//
// The window opens on MAKER-ADDRESS and goes Home to STARTING-ADDRESS (by default the same); with
// a window id it stays above that window, as a window of the main program would. The program
// ends when its window is closed.
#include "periphery/frmBrowser.h"

#include <QApplication>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // The browser engine refuses to run as root inside its sandbox.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine shares its frames with the window through a context made before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex 3000"));
    QApplication::setOrganizationName(QStringLiteral("Halvex"));

    QStringList args = QApplication::arguments().mid(1);
    WId transientFor = 0;
    if (args.size() >= 2 && args[0] == QLatin1String("--transient-for")) {
        transientFor = args[1].toULongLong();
        args = args.mid(2);
    }
    if (args.isEmpty() || args.size() > 2 || args[0].startsWith(QLatin1String("--"))) {
        std::fputs("usage: halvex-browser [--transient-for WINDOW-ID] MAKER-ADDRESS "
                   "[STARTING-ADDRESS]\n",
                   stderr);
        return 2;
    }

    halvex::frmBrowser window(args[0]);
    window.StartingAddress = args.value(1, args[0]);
    if (transientFor != 0) {
        window.winId();
        if (QWindow* owner = QWindow::fromWinId(transientFor))
            window.windowHandle()->setTransientParent(owner);
    }
    // A dialog that is closed is only hidden: the program ends with the window's own loop.
    window.exec();
    return 0;
}
