#include "data/frmListEditor.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

Q_DECLARE_METATYPE(halvex::MasterListKind)

namespace {

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestFrmListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editsThroughItsButtons_data();
    void editsThroughItsButtons();
};

void TestFrmListEditor::editsThroughItsButtons_data()
{
    QTest::addColumn<MasterListKind>("kind");
    QTest::addColumn<QString>("windowName");
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("plural");
    QTest::addColumn<QString>("tipItem");

    QTest::newRow("racers") << MasterListKind::Racers << "frmDragAddRacer"
                            << "lstRacers"
                            << "Halvex 3000  -  Racers"
                            << "DragRacers.dat"
                            << "Racer"
                            << "Racers"
                            << "racer";
    QTest::newRow("cars") << MasterListKind::Cars << "frmDragAddCar"
                          << "lstCars"
                          << "Halvex 3000 - Cars"
                          << "DragCars.dat"
                          << "Car"
                          << "Cars"
                          << "Car";
    QTest::newRow("classes") << MasterListKind::Classes << "frmDragAddClass"
                             << "lstClass"
                             << "Halvex 3000 - Classes"
                             << "DragClass.dat"
                             << "Class"
                             << "Classes"
                             << "Class";
}

void TestFrmListEditor::editsThroughItsButtons()
{
    QFETCH(MasterListKind, kind);
    QFETCH(QString, windowName);
    QFETCH(QString, listName);
    QFETCH(QString, caption);
    QFETCH(QString, fileName);
    QFETCH(QString, item);
    QFETCH(QString, plural);
    QFETCH(QString, tipItem);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScriptedPrompter prompter;
    MemoryPort port;
    SteppingClock clock;
    QueuedRandom random;
    MemorySettingsStore store;
    Services services{prompter, port, clock, random, store, ProgramFolder(dir.path())};
    const QString path = dir.filePath(fileName);

    {
        // No file yet: the failure is shown and the window opens on an empty list.
        frmListEditor missing(kind, services);
        QCOMPARE(prompter.texts(), QStringList({QStringLiteral("File not found: ") + fileName}));
        QCOMPARE(prompter.messages[0].title, QStringLiteral("Halvex 3000"));
        QCOMPARE(missing.findChild<QLabel*>(QStringLiteral("lblQty"))->text(), QString());
        QCOMPARE(missing.findChild<QListWidget*>(listName)->count(), 0);
        prompter.clear();
    }

    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"Beta\"\r\n\"alpha\"\r\n");
    file.close();

    frmListEditor window(kind, services);
    QVERIFY(prompter.messages.isEmpty());
    QCOMPARE(window.objectName(), windowName);
    QCOMPARE(window.windowTitle(), caption);
    auto* lst = window.findChild<QListWidget*>(listName);
    auto* cmdAdd = window.findChild<QPushButton*>(QStringLiteral("cmdAdd"));
    auto* cmdModify = window.findChild<QPushButton*>(QStringLiteral("cmdModify"));
    auto* cmdDelete = window.findChild<QPushButton*>(QStringLiteral("cmdDelete"));
    auto* cmdOk = window.findChild<QPushButton*>(QStringLiteral("cmdOk"));
    auto* lblQty = window.findChild<QLabel*>(QStringLiteral("lblQty"));
    QVERIFY(lst && cmdAdd && cmdModify && cmdDelete && cmdOk && lblQty);
    QCOMPARE(lst->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(cmdAdd->text(), QStringLiteral("&Add"));
    QCOMPARE(cmdModify->text(), QStringLiteral("&Modify"));
    QCOMPARE(cmdDelete->text(), QStringLiteral("&Delete"));
    QCOMPARE(cmdOk->text(), QStringLiteral("&OK"));
    QCOMPARE(cmdAdd->toolTip(), QStringLiteral("Add new ") + tipItem);
    QCOMPARE(cmdModify->toolTip(), QStringLiteral("Select %1 from list to modify").arg(tipItem));
    QCOMPARE(cmdDelete->toolTip(), QStringLiteral("Select %1 from list to delete").arg(tipItem));
    QCOMPARE(cmdOk->toolTip(), QString());
    const QString count = QStringLiteral("Total number of %1: ").arg(plural);
    QCOMPARE(lblQty->text(), count + u'2');
    QCOMPARE(itemTexts(lst), QStringList({"alpha", "Beta"}));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Picking an entry with the mouse is the selection the buttons work on.
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, {},
                      lst->visualItemRect(lst->item(1)).center());
    QCOMPARE(lst->currentRow(), 1);
    QCOMPARE(window.editor().selected(), 1);

    prompter.inputAnswers.enqueue(QStringLiteral("aaron"));
    QTest::mouseClick(cmdAdd, Qt::LeftButton);
    QCOMPARE(prompter.inputs.size(), 1);
    QCOMPARE(prompter.inputs[0].prompt, QStringLiteral("Enter new %1 name").arg(item));
    QCOMPARE(prompter.inputs[0].title, QStringLiteral("Add ") + item);
    QCOMPARE(itemTexts(lst), QStringList({"Aaron", "alpha", "Beta"}));
    QCOMPARE(lst->selectedItems().size(), 1);
    QCOMPARE(lst->selectedItems()[0]->text(), QStringLiteral("Beta"));
    QCOMPARE(lblQty->text(), count + u'3');

    prompter.inputAnswers.enqueue(QStringLiteral("Beta"));
    QTest::mouseClick(cmdAdd, Qt::LeftButton);
    QCOMPARE(prompter.texts(), QStringList({item + QStringLiteral(" already exists")}));
    QCOMPARE(lst->count(), 3);

    lst->setCurrentRow(2);
    prompter.inputAnswers.enqueue(QStringLiteral("ZETA"));
    QTest::mouseClick(cmdModify, Qt::LeftButton);
    QCOMPARE(prompter.inputs.last().prompt, QStringLiteral("Modify %1 name").arg(item));
    QCOMPARE(prompter.inputs.last().title, QStringLiteral("Modify ") + item);
    QCOMPARE(prompter.inputs.last().defaultText, QStringLiteral("Beta"));
    QCOMPARE(itemTexts(lst), QStringList({"Aaron", "alpha", "Zeta"}));
    QCOMPARE(lst->currentRow(), 2);
    QCOMPARE(lblQty->text(), count + u'3');
    QCOMPARE(fileBytes(path), QByteArray("\"Aaron\"\r\n\"alpha\"\r\n\"Zeta\"\r\n"));

    lst->setCurrentRow(0);
    QTest::mouseClick(cmdDelete, Qt::LeftButton);
    QCOMPARE(itemTexts(lst), QStringList({"alpha", "Zeta"}));
    QVERIFY(lst->selectedItems().isEmpty());
    QCOMPARE(lblQty->text(), count + u'2');
    QCOMPARE(fileBytes(path), QByteArray("\"alpha\"\r\n\"Zeta\"\r\n"));

    // Nothing selected now: delete leaves everything as it is.
    QTest::mouseClick(cmdDelete, Qt::LeftButton);
    QCOMPARE(lst->count(), 2);
    QCOMPARE(prompter.messages.size(), 1);

    QTest::mouseClick(cmdOk, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestFrmListEditor)
#include "tst_frm_list_editor.moc"
