#include "periphery/Tips.h"
#include "periphery/frmTip.h"
#include "platform/ProgramFolder.h"
#include "platform/QtSettingsStore.h"
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestTips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionKeptUnderTheExecutableName()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        QtSettingsStore store;
        QVERIFY(showTipsAtStartup(store));
        setShowTipsAtStartup(store, false);
        QVERIFY(!showTipsAtStartup(store));
        QSettings file(config.filePath(QStringLiteral("tst_tips.conf")), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("Options/Show Tips at Startup")),
                 QVariant(QStringLiteral("0")));
        QCOMPARE(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("tst_tips.conf")});
    }

    void tipLinesOfAFile()
    {
        const QList<std::pair<QByteArray, QStringList>> rows = {
            {"one\r\ntwo\r\n", {"one", "two"}}, // the final line break starts no tip
            {"one\n\ntwo", {"one", "", "two"}},
        };
        for (const auto& [bytes, tips] : rows)
            QCOMPARE(tipLines(bytes), tips);
    }

    // Each start draws afresh: the draws are seeded from the clock once a window. The tips as
    // the operator meets them at start-up, and the about window's title, are scenarios
    // (tips-*.scn).
    void eachWindowReseedsItsDraws()
    {
        QTemporaryDir dir;
        MemorySettingsStore store;
        QueuedRandom random;
        frmTip tip(store, random);
        QVERIFY(tip.load(ProgramFolder(dir.path())));
        QCOMPARE(random.reseeds, 1);
    }
};

QTEST_MAIN(TestTips)
#include "tst_tips.moc"
