#include "periphery/MakerPage.h"
#include "periphery/WebWindow.h"
#include "support/FaultFolder.h"
#include "support/ModalWindows.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

// The same operation again and again: the program's open files stay as they were and its memory
// levels off once the first rounds have filled its caches. Settings OK, diagnostics and printing
// are scenarios (resources-*.scn); the web page window's programs, ended as they run, are told
// here.
class TestFaultResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
    QApplication app(argc, argv);
    TestFaultResources test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fault_resources.moc"
