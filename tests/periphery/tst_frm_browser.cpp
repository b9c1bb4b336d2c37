#include "periphery/MakerPage.h"
#include "periphery/WebWindow.h"
#include "periphery/frmBrowser.h"
#include "platform/ProgramFolder.h"
#include "support/ModalWindows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextBrowser>

using namespace halvex;
using namespace halvex::test;

class TestFrmBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWindowShowsTheMakersPage()
    {
        QTemporaryDir dir;
        QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), dir.filePath(kMakerPageFileName));
        frmBrowser window(makerPageAddress(ProgramFolder(dir.path())));
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Working..."));
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(),
                                  QStringLiteral("Halvex 3000 race control by Vantora"), 20000);
        QCOMPARE(window.cboAddress->currentText(), window.StartingAddress);
    }

    // The menu runs the window's program: the first modally (the main window drops input until it
    // ends), then a second beside the program when the page is there.
    void theMenuRunsTheFirstWindowModallyThenTheSecond_data()
    {
        QTest::addColumn<bool>("pageThere");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("page") << true << QStringList();
        QTest::newRow("no page") << false
                                 << QStringList{QStringLiteral(
                                        "Please make sure you are connected to the internet")};
    }

    void theMenuRunsTheFirstWindowModallyThenTheSecond()
    {
        QFETCH(bool, pageThere);
        QFETCH(QStringList, messages);
        WindowRig rig;
        if (pageThere)
            QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), rig.dir.filePath(kMakerPageFileName));
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QComboBox* racer = w.cmbRacers[0];
        const QString before = racer->currentText();

        w.mnuVantoraWebSite->trigger();
        QProcess* first = runningBrowser(w);
        QVERIFY(first);
        QCOMPARE(first->arguments().mid(first->arguments().size() - 2),
                 QStringList(2, makerPageAddress(ProgramFolder(rig.folder()))));
        QTest::keyClicks(racer, QStringLiteral("xyz"));
        QCOMPARE(racer->currentText(), before);

        first->kill();
        first->waitForFinished();
        QTRY_COMPARE(rig.prompter.texts(), messages);
        if (pageThere) {
            QProcess* second = runningBrowser(w);
            QVERIFY(second && second != first);
            second->kill();
            second->waitForFinished();
        }
        QTest::keyClicks(racer, QStringLiteral("xyz"));
        QCOMPARE(racer->currentText(), before + QStringLiteral("xyz"));
    }
};

int main(int argc, char* argv[])
{
    // The window in this process, as in its own program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestFrmBrowser test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_frm_browser.moc"
