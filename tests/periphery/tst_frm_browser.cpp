#include "periphery/frmBrowser.h"
#include "periphery/frmHelp.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

namespace {

const QString kPageTitle = QStringLiteral("Halvex 3000 race control by Vantora");

// Starts the program over a folder with or without the shipped page, opens the web page window
// from the menu and closes the modal first window as soon as it has loaded its page.
QList<frmBrowser*> openFromMenu(WindowRig& rig, bool withPage)
{
    if (withPage)
        QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), rig.dir.filePath(kMakerPageFileName));
    rig.startWith(WindowRig::proTreeSetup());
    QString firstTitle;
    auto* closer = new QTimer;
    closer->setInterval(50);
    // Closed once its page is in, or after 20 s, so that a page that never loads fails the test
    // instead of hanging it.
    QObject::connect(closer, &QTimer::timeout, closer, [&firstTitle, closer, ticks = 0]() mutable {
        auto* first = qobject_cast<frmBrowser*>(QApplication::activeModalWidget());
        if (first && (++ticks > 400 || (first->windowTitle() != QStringLiteral("Working...") &&
                                        first->windowTitle() != QStringLiteral("frmBrowser")))) {
            firstTitle = first->windowTitle();
            closer->deleteLater();
            first->close();
        }
    });
    closer->start();
    rig.window().mnuVantoraWebSite->trigger();
    if (withPage)
        [&] { QCOMPARE(firstTitle, kPageTitle); }();
    return rig.window().findChildren<frmBrowser*>();
}

} // namespace

class TestFrmBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theMakersPageOpensTwiceFromTheMenu()
    {
        WindowRig rig;
        const QList<frmBrowser*> windows = openFromMenu(rig, true);
        QCOMPARE(windows.size(), 1);
        frmBrowser* second = windows[0];
        QVERIFY(second->isVisible());
        QVERIFY(!second->isModal());
        QCOMPARE(second->cboAddress->itemText(0), makerPageAddress(rig.app->services().folder));
        QTRY_COMPARE_WITH_TIMEOUT(second->windowTitle(), kPageTitle, 20000);
        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    void aMissingPageIsToldAtTheSecondWindow()
    {
        WindowRig rig;
        QVERIFY(openFromMenu(rig, false).isEmpty());
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral("Please make sure you are connected to the internet")});
        QCOMPARE(rig.prompter.messages[0].icon, Icon::Information);
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
        QVERIFY(help);
        QVERIFY(help->isVisible());
        // The operator's help covers the windows of the whole program.
        const QString text = help->browser->toPlainText();
        for (const char* topic : {"Settings", "Password", "Credits", "Printing", "Race data",
                                  "Diagnostic", "Vantora web site"})
            QVERIFY2(text.contains(QLatin1String(topic)), topic);
        // Closing the modal window takes its help along; F1 then opens it over the main window.
        modal.close();
        rig.window().mnuHelpIndex->trigger();
        QVERIFY(rig.window().findChild<frmHelp*>()->isVisible());
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
