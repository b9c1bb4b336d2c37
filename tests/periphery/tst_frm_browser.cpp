#include "periphery/MakerPage.h"
#include "periphery/WebWindow.h"
#include "periphery/frmBrowser.h"
#include "platform/ProgramFolder.h"
#include "support/FaultFolder.h"
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

// The web page window: the maker's page, the menu running its program, and its programs ended as
// they run leaving nothing behind: the program's open files stay as they were and its memory levels
// off once the first rounds have filled its caches.
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
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(),
                                  QStringLiteral("Halvex 3000 race control by Vantora"), 20000);
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

    void theWebWindowsLeaveNothingBehind()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP(
            "the browser engine cannot run under the address sanitizer; the normal build runs it");
#endif
        WindowRig rig;
        QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), rig.dir.filePath(kMakerPageFileName));
        frmDragRacing& w = rig.startWith(WindowRig::proTreeSetup());
        w.show();
        auto once = [&] {
            // A program of its own: the first window's, then the second's, ended as they run.
            w.mnuVantoraWebSite->trigger();
            for (int window = 0; window < 2; ++window) {
                if (QProcess* running = runningBrowser(w)) {
                    running->kill();
                    running->waitForFinished();
                }
            }
            QTest::qWait(50);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        };
        for (int i = 0; i < 3; ++i)
            once();
        const int files = openDescriptors();
        const qint64 memory = residentKb();
        for (int i = 0; i < 8; ++i)
            once();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(openDescriptors(), files);
        const qint64 growth = residentKb() - memory;
        QVERIFY2(growth < 1024, qPrintable(QStringLiteral("%1 kB more").arg(growth)));
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
