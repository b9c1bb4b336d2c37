#include "ScenarioRunner.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <stdexcept>

using namespace halvex::test;

// Each scenario file of the source folder is one row.
class TestScenarios : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariable("LC_ALL").startsWith(u"de_DE") && QLocale().decimalPoint() != u',')
            QSKIP("the German locale (de_DE.UTF-8) is not installed; scripts/setup.sh makes it");
    }

    void run_data()
    {
        QTest::addColumn<QString>("path");
        // Another folder of scenarios (the soak) when one is named.
        const QString named = qEnvironmentVariable("HALVEX_SCENARIOS");
        const QDir folder(named.isEmpty() ? QStringLiteral(HALVEX_SCENARIO_DIR) : named);
        const QStringList files = folder.entryList({QStringLiteral("*.scn")}, QDir::Files);
        QVERIFY2(!files.isEmpty(), qPrintable(folder.path()));
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << folder.filePath(file);
    }

    void run()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QList<Step> steps;
        try {
            steps = parseScenario(file.readAll());
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        ScenarioRunner runner(QFileInfo(path).fileName(), steps);
        const QString failure = runner.run();
        if (!runner.skipped().isEmpty())
            QSKIP(qPrintable(runner.skipped()));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestScenarios)
#include "tst_scenarios.moc"
