#include "periphery/MakerPage.h"
#include "periphery/WebWindow.h"
#include "reports/QtPrintSurface.h"
#include "support/FaultFolder.h"
#include "support/ModalWindows.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

namespace {

enum class Subject
{
    SettingsOk,
    Diagnostics,
    WebWindow,
    Printing
};

// Ends the web page window's program as soon as one runs.
void endBrowserWhenRunning(QWidget& window)
{
    if (QProcess* running = runningBrowser(window)) {
        running->kill();
        running->waitForFinished();
    }
}

} // namespace

Q_DECLARE_METATYPE(Subject)

class TestFaultResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The same operation again and again: the program's open files stay as they were and its
    // memory levels off once the first rounds have filled its caches.
    void handlesAndMemoryStayFlat_data()
    {
        QTest::addColumn<Subject>("subject");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("growthKb");
        QTest::newRow("settings OK") << Subject::SettingsOk << 40 << 1024;
        QTest::newRow("diagnostics") << Subject::Diagnostics << 40 << 1024;
#if !defined(__SANITIZE_ADDRESS__)
        // The browser engine cannot run under the address sanitizer; the normal build covers it.
        QTest::newRow("web window") << Subject::WebWindow << 8 << 1024;
#endif
        QTest::newRow("printing") << Subject::Printing << 30 << 2048;
    }

    void handlesAndMemoryStayFlat()
    {
        QFETCH(Subject, subject);
        QFETCH(int, rounds);
        QFETCH(int, growthKb);
        WindowRig rig;
        QFile::copy(QStringLiteral(HALVEX_MAKER_PAGE), rig.dir.filePath(kMakerPageFileName));
        PdfFileSurface pdf(rig.dir.filePath(QStringLiteral("slip.pdf")));
        rig.printSurface = &pdf;
        rig.startWith(WindowRig::proTreeSetup());
        QByteArray report;
        for (qint32 field : kLeftWins)
            report += QByteArray::number(field) + '\n';
        rig.memoryPort.answers["P\n"] = report + "!\n";
        rig.memoryPort.answers["T\n"] = "3\n0\n!\n";
        frmDragRacing& w = rig.window();
        w.show();
        if (subject == Subject::Printing) {
            pressStartRace(w);
            QVERIFY(rig.stats());
        }
        auto once = [&] {
            switch (subject) {
            case Subject::SettingsOk:
                settingsOk(rig);
                break;
            case Subject::Diagnostics:
                whenModalShown(nullptr, [](QWidget* modal) { modal->close(); });
                w.mnuDiagnostic->trigger();
                break;
            case Subject::WebWindow:
                // A program of its own: the first window's, then the second's, ended as they run.
                w.mnuVantoraWebSite->trigger();
                endBrowserWhenRunning(w);
                endBrowserWhenRunning(w);
                QTest::qWait(50);
                break;
            case Subject::Printing:
                rig.stats()->cmdPrint->click();
                // The notice closes by itself, without holding up the program meanwhile.
                QTRY_VERIFY(!QApplication::activeModalWidget());
                break;
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        };
        for (int i = 0; i < 3; ++i)
            once();
        const int files = openDescriptors();
        const qint64 memory = residentKb();
        for (int i = 0; i < rounds; ++i)
            once();
        QCOMPARE(rig.prompter.texts(), QStringList());
        if (subject == Subject::Printing)
            QCOMPARE(rig.printNotices, 3 + rounds); // each slip went out whole
        QCOMPARE(openDescriptors(), files);
        const qint64 growth = residentKb() - memory;
        qInfo() << "resident memory grew by" << growth << "kB";
        if (kMemoryIsMeasurable)
            QVERIFY2(growth < growthKb, qPrintable(QStringLiteral("%1 kB more").arg(growth)));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestFaultResources test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fault_resources.moc"
