// The yardstick for the program's start-up: a bare main window with a menu bar and nothing else,
// timed with the same trace as the program (HALVEX_TRACE_STARTUP).
#include "app/StartupTrace.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<halvex::StartupTrace> trace(halvex::installStartupTrace(app));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    for (const char* title : {"&File", "&Edit", "&Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
