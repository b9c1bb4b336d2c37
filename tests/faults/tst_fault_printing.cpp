#include "reports/QtPrintSurface.h"
#include "support/FaultFolder.h"
#include "support/ModalWindows.h"

#include <QAction>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

const QString kRefusingQueue = QStringLiteral("HalvexRefuses");

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool schedulerRunning()
{
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return p.waitForFinished(5000) && p.readAllStandardOutput().contains("is running");
}

// A race on screen over the default printer; then its slip printed again from the statistics
// window and the log's grid printed from the race data window.
QStringList printBothWays(WindowRig& rig, DefaultPrinterSurface& printer)
{
    rig.printSurface = &printer;
    rig.startWith(WindowRig::proTreeSetup(true));
    pressStartRace(rig.window());
    if (!rig.stats())
        return {QStringLiteral("no result")};
    rig.stats()->cmdPrint->click();
    rig.stats()->cmdOk->click();
    withRaceData(rig, [](frmGridData& data) { data.mnuPrint->trigger(); });
    return rig.prompter.texts();
}

} // namespace

class TestFaultPrinting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noPrinter()
    {
        qputenv("PRINTER", "halvex-no-such-queue");
        qputenv("LPDEST", "halvex-no-such-queue");
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("the print system offers a default printer even when asked for one that is "
                  "not there");
        WindowRig rig;
        DefaultPrinterSurface printer;
        const QString none = QStringLiteral("No default printer is installed. Install a printer "
                                            "and make it the default printer, then print again.");
        QCOMPARE(printBothWays(rig, printer), QStringList(2, none));
        QCOMPARE(rig.printNotices, 0);
    }

    void aQueueThatRefusesTheJob()
    {
        if (!runningAsRoot() || !schedulerRunning())
            QSKIP("needs the print scheduler running and root to add a queue "
                  "(scripts/cups-pdf-queue.sh starts it)");
        QVERIFY(run(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), kRefusingQueue, QStringLiteral("-E"),
                     QStringLiteral("-v"), QStringLiteral("cups-pdf:/")}));
        QVERIFY(run(QStringLiteral("cupsreject"), {kRefusingQueue}));
        qputenv("PRINTER", kRefusingQueue.toLatin1());
        qputenv("LPDEST", kRefusingQueue.toLatin1());
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), kRefusingQueue);
        WindowRig rig;
        DefaultPrinterSurface printer;
        const QStringList messages = printBothWays(rig, printer);
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kRefusingQueue});
        const QString refused =
            QStringLiteral("The printer \"%1\" did not accept the job.").arg(kRefusingQueue);
        QCOMPARE(messages, QStringList(2, refused));
        QCOMPARE(rig.printNotices, 0);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestFaultPrinting test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fault_printing.moc"
