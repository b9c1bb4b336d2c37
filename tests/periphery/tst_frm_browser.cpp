#include "periphery/MakerPage.h"
#include "periphery/frmHelp.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

class TestFrmBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theMakersPageOpensFromTheMenu()
    {
        WindowRig rig;
        QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), rig.dir.filePath(kMakerPageFileName));
        rig.startWith(WindowRig::proTreeSetup());
        // The first window is modal: closed from a timer. The second stays beside the program.
        QTimer::singleShot(200, [] { QApplication::activeModalWidget()->close(); });
        rig.window().mnuVantoraWebSite->trigger();
        // Made in the window's own module: found by its name, not its type.
        const auto windows = rig.window().findChildren<QDialog*>(QStringLiteral("frmBrowser"));
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible() && !windows[0]->isModal());
        QTRY_COMPARE_WITH_TIMEOUT(windows[0]->windowTitle(),
                                  QStringLiteral("Halvex 3000 race control by Vantora"), 20000);
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void helpOpensOverAModalWindow()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup());
        QDialog modal(&rig.window());
        modal.setModal(true);
        modal.show();
        rig.app->showHelp(&modal);
        auto* help = modal.findChild<frmHelp*>();
        QVERIFY(help && help->isVisible());
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestFrmBrowser test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_frm_browser.moc"
