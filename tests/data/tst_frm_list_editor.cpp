#include "data/MasterList.h"
#include "data/frmListEditor.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

// The entries as shown, selected ones marked with a "*".
QStringList shown(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append((list->item(row)->isSelected() ? QStringLiteral("*") : QString()) +
                     list->item(row)->text());
    return texts;
}

} // namespace

class TestFrmListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editsTheListAndItsFileThroughItsButtons()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kRacersFileName);
        writeNames(path, {QStringLiteral("Beta"), QStringLiteral("alpha")});
        ScriptedPrompter prompter;
        MemoryPort port;
        SystemClock clock;
        QueuedRandom random;
        MemorySettingsStore store;
        RecordedSound sound;
        RecordingSurface printer;
        Services services{prompter, port,  clock,   random,
                          store,    sound, printer, ProgramFolder(dir.path())};

        frmListEditor window(MasterListKind::Racers, services);
        QCOMPARE(window.windowTitle(), QStringLiteral("Halvex 3000  -  Racers"));
        auto* lst = window.findChild<QListWidget*>(QStringLiteral("lstRacers"));
        auto* lblQty = window.findChild<QLabel*>(QStringLiteral("lblQty"));
        QVERIFY(lst && lblQty);
        QCOMPARE(shown(lst), QStringList({"alpha", "Beta"}));
        QCOMPARE(lblQty->text(), QStringLiteral("Total number of Racers: 2"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto click = [&window](const char* button) {
            QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(button)),
                              Qt::LeftButton);
        };

        // The entry clicked is the one the buttons work on; a name sorted in ahead of it keeps
        // it selected.
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, {},
                          lst->visualItemRect(lst->item(1)).center());
        prompter.inputAnswers << QStringLiteral("aaron");
        click("cmdAdd");
        QCOMPARE(shown(lst), QStringList({"Aaron", "alpha", "*Beta"}));
        QCOMPARE(lblQty->text(), QStringLiteral("Total number of Racers: 3"));
        QCOMPARE(fileBytes(path), QByteArray("\"Beta\"\r\n\"alpha\"\r\n\"Aaron\"\r\n"));

        lst->setCurrentRow(0);
        click("cmdDelete");
        QCOMPARE(shown(lst), QStringList({"alpha", "Beta"}));
        QCOMPARE(lblQty->text(), QStringLiteral("Total number of Racers: 2"));
        QCOMPARE(fileBytes(path), QByteArray("\"alpha\"\r\n\"Beta\"\r\n"));
        QCOMPARE(prompter.texts(), QStringList());

        click("cmdOk");
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestFrmListEditor)
#include "tst_frm_list_editor.moc"
