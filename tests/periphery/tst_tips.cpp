#include "periphery/Tips.h"
#include "periphery/frmTip.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

class TestTips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
