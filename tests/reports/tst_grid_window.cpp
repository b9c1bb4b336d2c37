#include "reports/PrintGrid.h"
#include "reports/QtPrintSurface.h"
#include "reports/frmGridData.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

// The race data window's sorts, qualifiers, saved bytes, printed grid, a column dragged and Clear
// Data are a scenario; the save dialog's offer and the grid on paper are told here.
class TestGridWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void afterRealRaces()
    {
        WindowRig rig;
        rig.startWith(WindowRig::proTreeSetup(true));
        RaceSession& session = rig.app->session();
        for (int race = 0; race < 2; ++race) {
            session.start();
            session.endDelay();
            session.commit();
        }
        frmGridData w(rig.app->services(), rig.app->settings(), rig.log());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // Save offers the worksheet first and chosen, then the workbook and the comma-separated
        // values; a name without a suffix gets the chosen type's.
        const QString out = rig.dir.filePath(QStringLiteral("out"));
        rig.prompter.fileNames.enqueue(out);
        w.mnuSave->trigger();
        QCOMPARE(rig.prompter.saveDialogs[0].filter,
                 QStringLiteral("Excel Files (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)"));
        QCOMPARE(rig.prompter.saveDialogs[0].selectedFilter, QStringLiteral("Excel Files (*.xls)"));
        QVERIFY(QFileInfo::exists(out + QStringLiteral(".xls")));

        // On paper, texts read back whole: a ligature keeps its letters.
        w.gridL.setText(1, 1, QStringLiteral("Yellow Jacket"));
        w.gridL.setText(2, 1, QStringLiteral("Modified"));
        w.gridL.setColWidth(1, 2400);
        PdfFileSurface pdf(rig.dir.filePath(QStringLiteral("grid.pdf")));
        clsPrintGrid print;
        print.Destination(&pdf, QPointF(15, 15));
        print.Source(&w.gridL);
        print.PrintGrid();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf.jobFile(1), QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("Yellow Jacket\n")) &&
                     printed.contains(QStringLiteral("Modified\n")),
                 qPrintable(printed));

        QCOMPARE(rig.prompter.texts(), QStringList());
    }

    // Every "Menu, Item" the operator's help names is a menu item of the main window or of the
    // race data window.
    void theHelpNamesMenuItemsThatExist()
    {
        WindowRig rig;
        frmDragRacing& main = rig.start();
        frmGridData data(rig.app->services(), rig.app->settings(), rig.log());
        QStringList items;
        for (const QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&data)})
            for (const QMenu* menu : window->findChildren<QMenu*>())
                for (const QAction* item : menu->actions())
                    items << QString(menu->title() + QStringLiteral(", ") + item->text())
                                 .remove(u'&');
        QFile help(QStringLiteral(":/help/Halvex.html"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        static const QRegularExpression path(QStringLiteral("<b>(\\w+, [^<]+)</b>"));
        int named = 0;
        for (const auto& m : path.globalMatch(QString::fromUtf8(help.readAll()))) {
            QVERIFY2(items.contains(m.captured(1)), qPrintable(m.captured(1)));
            ++named;
        }
        QVERIFY(named >= 10);
    }
};

QTEST_MAIN(TestGridWindow)
#include "tst_grid_window.moc"
