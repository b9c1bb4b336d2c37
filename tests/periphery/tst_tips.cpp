#include "periphery/Tips.h"
#include "periphery/frmDragAbout.h"
#include "periphery/frmTip.h"
#include "platform/ProgramFolder.h"
#include "platform/QtSettingsStore.h"
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
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

    void startUpOptionAndTheTipsFile()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(kTipsFileName), "First tip\r\nSecond tip\r\n");
        MemorySettingsStore store;
        QueuedRandom random;
        random.queue({0.0f, 0.99999994f}); // the highest draw below 1 still picks the last tip
        {
            frmTip tip(store, random);
            QVERIFY(tip.load(ProgramFolder(dir.path())));
            QVERIFY(tip.chkLoadTipsAtStartup->isChecked());
            QCOMPARE(random.reseeds, 1);
            QCOMPARE(tip.lblTipText->text(), QStringLiteral("First tip"));
            tip.cmdNextTip->click();
            QCOMPARE(tip.lblTipText->text(), QStringLiteral("Second tip"));
            tip.chkLoadTipsAtStartup->click();
        }
        QVERIFY(!frmTip(store, random).load(ProgramFolder(dir.path())));

        MemorySettingsStore firstRun;
        QTemporaryDir empty;
        frmTip missing(firstRun, random);
        QVERIFY(missing.load(ProgramFolder(empty.path())));
        QCOMPARE(missing.lblTipText->text(),
                 QStringLiteral("That the TIPOFDAY.txt file was not found? \r\n\r\nCreate a text "
                                "file named TIPOFDAY.txt using NotePad with 1 tip per line. Then "
                                "place it in the same directory as the application. "));

        QString title; // what the slip prints at its top
        frmDragAbout about(title);
        QCOMPARE(title, QStringLiteral("Vantora Halvex 3000 Version 1.7.7"));
    }
};

QTEST_MAIN(TestTips)
#include "tst_tips.moc"
