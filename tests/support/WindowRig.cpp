#include "support/WindowRig.h"

#include "data/MasterList.h"
#include "link/frmDelay.h"
#include "periphery/Tips.h"
#include "periphery/frmSplashPrint.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace halvex::test {

WindowRig::WindowRig(Port kind)
{
    if (kind == Port::Serial)
        serialPort = std::make_unique<QtSerialPort>(ProgramFolder(dir.path()),
                                                    dir.filePath(QStringLiteral("no-ttyS")));
    settings = testStrip();
    settings.ProTreeCountdown = 0.4f;
    noticeCloser.callOnTimeout([this] {
        if (auto* notice = qobject_cast<frmSplashPrint*>(QApplication::activeModalWidget())) {
            ++printNotices;
            QTest::keyClick(notice, Qt::Key_Space);
        }
    });
    noticeCloser.start(10);
}

WindowRig::~WindowRig()
{
    app.reset();
}

SerialPort& WindowRig::port()
{
    if (serialPort)
        return *serialPort;
    return memoryPort;
}

void WindowRig::writeFile(const QString& name, const QByteArray& bytes) const
{
    test::writeFile(dir.filePath(name), bytes);
}

void WindowRig::writeSettings() const
{
    writeSettingsFile(dir.filePath(kSettingsFileName), settings);
}

void WindowRig::writeLists() const
{
    writeNames(dir.filePath(kRacersFileName), {"Bob Diaz", "alice Hart", "Carla"});
    writeNames(dir.filePath(kCarsFileName), {"Red Comet", "Blue"});
    writeNames(dir.filePath(kClassesFileName), {"Stock", "Modified"});
}

Services WindowRig::services()
{
    return Services{prompter,
                    port(),
                    clock,
                    random,
                    store,
                    sound,
                    printSurface ? *printSurface : printer,
                    ProgramFolder(dir.path())};
}

frmDragRacing& WindowRig::start()
{
    app.reset();
    app = std::make_unique<HalvexApp>(services());
    app->load();
    return app->mainWindow();
}

frmDragRacing& WindowRig::startShown(bool tips)
{
    app.reset();
    if (!tips)
        setShowTipsAtStartup(store, false);
    app = std::make_unique<HalvexApp>(services());
    app->start();
    if (!QTest::qWaitFor([this] { return app->startupFinished(); }, 5000))
        qWarning("The start-up's questions did not end within 5 s");
    return app->mainWindow();
}

frmDragRacing& WindowRig::startWith(const WindowStateRecord& state)
{
    writeSettings();
    writeLists();
    writeFile(kWindowStateFileName, windowStateLine(state));
    start();
    memoryPort.writes.clear();
    prompter.clear();
    return app->mainWindow();
}

WindowStateRecord WindowRig::proTreeSetup(bool demo)
{
    WindowStateRecord s;
    s.ClassName = QStringLiteral("Stock");
    s.TreeIndex = 3;
    s.RacerLeft = QStringLiteral("Bob Diaz");
    s.RacerRight = QStringLiteral("Carla");
    s.CarLeft = QStringLiteral("Red Comet");
    s.CarRight = QStringLiteral("Blue");
    s.DemoMode = demo;
    return s;
}

void WindowRig::clickGetReadyWhenShown()
{
    whenModalShown("frmDelay", [](QWidget* delay) {
        QTest::mouseClick(static_cast<frmDelay*>(delay)->Label1, Qt::LeftButton);
    });
}

void whenModalShown(const char* name, std::function<void(QWidget*)> answer)
{
    // Owned by the application, so a window that never shows leaves no timer behind at exit.
    auto* timer = new QTimer(QCoreApplication::instance());
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

} // namespace halvex::test
