#include "data/MasterList.h"
#include "race/WindowState.h"
#include "support/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace halvex;
using namespace halvex::test;

namespace {

void chooseTree(frmDragRacing& w, int index)
{
    w.cmbTree->setCurrentIndex(index);
    Q_EMIT w.cmbTree->activated(index);
}

void loseFocus(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
}

} // namespace

class TestRaceSetup : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

    frmDragRacing& startWith(const WindowState& state)
    {
        rig = std::make_unique<WindowRig>();
        return rig->startWith(state);
    }

private Q_SLOTS:
    void cleanup() { rig.reset(); }

    void indexTreesMirrorTheTwoBoxes()
    {
        WindowState s;
        s.TreeIndex = 2;
        s.DialInLeft = 7.5f;
        s.DialInRight = 8.0f;
        frmDragRacing& w = startWith(s);
        QCOMPARE(w.lblDialin->text(), QStringLiteral("Dial-In"));
        // On the dial-in tree the boxes are independent.
        w.txtDialin[0]->setText(QStringLiteral("6.1"));
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("8.000"));

        chooseTree(w, 1);
        QCOMPARE(w.lblDialin->text(), QStringLiteral("Index"));
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("6.1"));
        QVERIFY(!w.txtDialin[1]->isHidden());

        w.txtDialin[1]->clear();
        QTest::keyClicks(w.txtDialin[1], QStringLiteral("9.25"));
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("9.25"));
        QTest::keyClick(w.txtDialin[0], Qt::Key_Backspace);
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("9.2"));
        // The box being typed in keeps its caret where the operator put it.
        QCOMPARE(w.txtDialin[0]->cursorPosition(), 3);

        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.txtDialin[0], &enter);
        QCOMPARE(w.txtDialin[0]->toolTip(), QStringLiteral("Enter Index Value"));
        chooseTree(w, 2);
        QApplication::sendEvent(w.txtDialin[0], &enter);
        QCOMPARE(w.txtDialin[0]->toolTip(), QStringLiteral("Enter Dial-In Value"));
        QVERIFY(rig->memoryPort.writes.isEmpty());
    }

    void treesWithoutHandicapHideTheBoxesAndZeroTheUnitsHandicap()
    {
        frmDragRacing& w = startWith(WindowState{});
        rig->g.Log.LeftResult.DialIn = 5;
        chooseTree(w, 3);
        QVERIFY(w.txtDialin[0]->isHidden());
        QVERIFY(w.txtDialin[1]->isHidden());
        QVERIFY(w.lblDialin->isHidden());
        QCOMPARE(rig->memoryPort.writes, (QList<QByteArray>{"A\n", "0\n0\n"}));
        QCOMPARE(rig->g.Log.LeftResult.DialIn, 0.0f);

        chooseTree(w, 4);
        QVERIFY(!w.txtDialin[0]->isHidden());
        QCOMPARE(w.lblDialin->text(), QStringLiteral("Index"));

        WindowState demo;
        demo.DemoMode = true;
        demo.TreeIndex = 2;
        frmDragRacing& d = startWith(demo);
        chooseTree(d, 0);
        QVERIFY(d.txtDialin[0]->isHidden());
        QVERIFY(rig->memoryPort.writes.isEmpty());
        QVERIFY(rig->prompter.messages.isEmpty());
    }

    void aSavedTreeWithoutHandicapMeetsTheUnopenedPortAtStartup()
    {
        // The window state is applied before the port opens: the zero handicap cannot be sent,
        // which is reported without a title, and start-up goes on.
        rig = std::make_unique<WindowRig>();
        rig->writeSettings();
        rig->writeLists();
        WindowState s;
        s.TreeIndex = 3;
        rig->writeFile(kWindowStateFileName, windowStateLine(s));
        rig->start();
        QCOMPARE(rig->prompter.texts(),
                 QStringList{QStringLiteral("Operation valid only when the port is open")});
        QCOMPARE(rig->prompter.messages[0].title, QStringLiteral("Halvex 3000"));
        QCOMPARE(rig->memoryPort.written(), QByteArray("O\nX\nS\n"));
    }

    void dialInBoxesFormatWhenLeft()
    {
        WindowState s;
        s.TreeIndex = 2;
        frmDragRacing& w = startWith(s);
        w.txtDialin[0]->setText(QStringLiteral("1.5"));
        loseFocus(w.txtDialin[0]);
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("1.500"));
        w.txtDialin[0]->setText(QStringLiteral(" 7.12345 "));
        loseFocus(w.txtDialin[0]);
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("7.123"));
        w.txtDialin[1]->setText(QStringLiteral("abc"));
        loseFocus(w.txtDialin[1]);
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("abc"));
        w.txtDialin[1]->setText(QStringLiteral("1.5s"));
        loseFocus(w.txtDialin[1]);
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("1.5s"));
    }

    void theSameRacerTwiceIsPointedOut()
    {
        frmDragRacing& w = startWith(WindowState{});
        w.cmbRacers[0]->setEditText(QStringLiteral("Carla"));
        w.cmbRacers[1]->setCurrentIndex(w.cmbRacers[1]->findText(QStringLiteral("Bob Diaz")));
        Q_EMIT w.cmbRacers[1]->activated(1);
        QVERIFY(rig->prompter.messages.isEmpty());
        w.cmbRacers[1]->setCurrentIndex(w.cmbRacers[1]->findText(QStringLiteral("Carla")));
        Q_EMIT w.cmbRacers[1]->activated(2);
        QCOMPARE(rig->prompter.texts(), QStringList{QStringLiteral("Select a different Racer")});
        QCOMPARE(rig->prompter.messages[0].title, QStringLiteral("Halvex 3000"));
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Carla"));
    }

    void swappingLanes()
    {
        WindowState s;
        s.TreeIndex = 2;
        s.RacerLeft = QStringLiteral("Bob Diaz");
        s.CarLeft = QStringLiteral("Red Comet");
        s.CarRight = QStringLiteral("Blue");
        s.DialInLeft = 7.5f;
        s.DialInRight = 8.25f;
        frmDragRacing& w = startWith(s);
        w.cmdSwapLanes->click();
        QCOMPARE(rig->prompter.messages.size(), 1);
        QCOMPARE(rig->prompter.messages[0].text,
                 QStringLiteral("Please select both Racers before swaping Lanes"));
        QCOMPARE(rig->prompter.messages[0].title, QStringLiteral("Swap Lanes"));
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Bob Diaz"));
        QCOMPARE(w.cmbCars[0]->currentText(), QStringLiteral("Red Comet"));
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("7.500"));

        w.cmbRacers[1]->setEditText(QStringLiteral("Carla"));
        w.cmdSwapLanes->click();
        QCOMPARE(rig->prompter.messages.size(), 1);
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbRacers[1]->currentText(), QStringLiteral("Bob Diaz"));
        QCOMPARE(w.cmbCars[0]->currentText(), QStringLiteral("Blue"));
        QCOMPARE(w.cmbCars[1]->currentText(), QStringLiteral("Red Comet"));
        QCOMPARE(w.txtDialin[0]->text(), QStringLiteral("8.250"));
        QCOMPARE(w.txtDialin[1]->text(), QStringLiteral("7.500"));
        // The names passed through the globals, which keep them as they stood before.
        QCOMPARE(rig->g.RacerLeft, QStringLiteral("Bob Diaz"));
        QCOMPARE(rig->g.RacerRight, QStringLiteral("Carla"));
    }

    void typedNamesStayAsTyped()
    {
        frmDragRacing& w = startWith(WindowState{});
        w.cmbRacers[0]->setFocus();
        QTest::keyClicks(w.cmbRacers[0], QStringLiteral("Bob"));
        QTest::keyClick(w.cmbRacers[0], Qt::Key_Tab);
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Bob"));
        QCOMPARE(w.cmbRacers[0]->count(), 3);
    }

    void closingAnEditorRefreshesTheBoxes()
    {
        WindowState s;
        s.ClassName = QStringLiteral("Stock");
        frmDragRacing& w = startWith(s);
        auto closeEditorWhenShown = [](const char* name) {
            QTimer::singleShot(50, [name] {
                QWidget* editor = QApplication::activeModalWidget();
                QVERIFY(editor);
                QCOMPARE(editor->objectName(), QLatin1String(name));
                editor->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
            });
        };
        closeEditorWhenShown("frmDragAddClass");
        w.mnuDataBaseClasses->trigger();
        QCOMPARE(w.cmbClass->currentText(), QStringLiteral("Modified"));

        writeNames(rig->dir.filePath(QStringLiteral("DragRacers.dat")), {QStringLiteral("Zed")});
        closeEditorWhenShown("frmDragAddRacer");
        w.mnuRacers->trigger();
        QCOMPARE(w.cmbRacers[1]->count(), 1);
        QCOMPARE(w.cmbRacers[1]->itemText(0), QStringLiteral("Zed"));

        // A class file that has gone by the time the editor closes is reported.
        QFile::remove(rig->dir.filePath(QStringLiteral("DragClass.dat")));
        closeEditorWhenShown("frmDragAddClass");
        rig->prompter.clear();
        w.mnuDataBaseClasses->trigger();
        QCOMPARE(rig->prompter.texts(),
                 (QStringList{QStringLiteral("File not found: DragClass.dat"),
                              QStringLiteral("File not found: DragClass.dat")}));
        QCOMPARE(w.cmbClass->count(), 0);
    }

    void loadersShowTheNamesOfTheLastSaveNotOfALaterPick()
    {
        WindowState s;
        s.RacerLeft = QStringLiteral("Carla");
        s.CarRight = QStringLiteral("Blue");
        frmDragRacing& w = startWith(s);
        w.cmbRacers[0]->setCurrentIndex(w.cmbRacers[0]->findText(QStringLiteral("Bob Diaz")));
        w.cmbCars[1]->setEditText(QStringLiteral("Red Comet"));
        w.LoadRacers();
        w.LoadCars();
        QCOMPARE(w.cmbRacers[0]->currentText(), QStringLiteral("Carla"));
        QCOMPARE(w.cmbCars[1]->currentText(), QStringLiteral("Blue"));
        QCOMPARE(w.cmbRacers[0]->count(), 3);

        // A list file that has gone is reported, and the boxes stay empty.
        QFile::remove(rig->dir.filePath(QStringLiteral("DragCars.dat")));
        w.LoadCars();
        QCOMPARE(rig->prompter.texts(),
                 QStringList{QStringLiteral("File not found: DragCars.dat")});
        QCOMPARE(w.cmbCars[0]->count(), 0);
    }
};

QTEST_MAIN(TestRaceSetup)
#include "tst_race_setup.moc"
