#include "PtyPeer.h"
#include "data/Settings.h"
#include "support/ModalWindows.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace halvex;
using namespace halvex::test;

namespace {

const QString kCountdown = QStringLiteral("Value must be between  0.1 and  0.6 seconds.");

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void okStoresTheFileAndReconfiguresTheUnit()
    {
        WindowRig rig(WindowRig::Port::Serial);
        rig.settings.InterSensorDistance[3] = QStringLiteral("40 ft");
        rig.startWith(WindowRig::proTreeSetup());
        sim::PtyPeer peer(rig.folder(), 1);
        auto w = settingsWindow(rig);
        QCOMPARE(w->txtInterSensor[3]->text(), QStringLiteral("40 ft"));
        w->txtProTreeCoundown->setText(QStringLiteral("0.6"));
        w->txtEnterTrackName->setText(QStringLiteral("Oak Lane"));
        w->txtTrackLength->setText(QStringLiteral(" 66' "));
        w->cmbNoOfSensors->setCurrentIndex(1);
        QVERIFY(!w->txtInterSensor[3]->isEnabled());
        w->txtInterSensor[1]->setText(QStringLiteral("12\""));
        w->txtInterSensor[3]->setText(QStringLiteral("not taken"));
        w->optMetric->setChecked(true);
        QCOMPARE(w->lblSpeedTrap->text(), QStringLiteral("Centimeters between Speed Trap sensors"));
        QVERIFY(rig.app->settings().record().Metric); // at once, before OK
        w->optPrestage->setChecked(true);
        w->chkInvertSignal->setChecked(true);
        w->chkCoinBoxInstalled->setChecked(true);
        w->cmbCreditsPerCoin->setCurrentIndex(2);
        w->cmbNoOfCopies->setCurrentIndex(1);
        w->optLargeFont->setChecked(true);
        w->cmdOk->click();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(
            fileBytes(rig.dir.filePath(kSettingsFileName)),
            QByteArray(".6,0,\"Oak Lane\",12,\"66 ft\",1,\"12 in\",\"20 ft\",\"40 ft\",1,2,0,0,"
                       "#TRUE#,0,0,2,#TRUE#,1,1,#TRUE#\r\n"));
        // The saved Pro-Tree's zero handicap comes with the re-applied setup, then the settings.
        QVERIFY(peer.waitForCommands(4, 3000));
        QCOMPARE(peer.commands(), (QList<QByteArray>{"A\n0\n0\n", "B6000\n", "Y\n", "R\n"}));
        // The coin box is installed: its file starts at 0 and the main window shows it.
        QCOMPARE(fileBytes(rig.dir.filePath(QStringLiteral("CreditRaces.dat"))), "0\r\n");
        QCOMPARE(rig.window().lblCredits->text(), QStringLiteral("0 Credits"));
        QVERIFY(!rig.window().cmdCoin->isHidden());

        // In demo mode (saved, as the Settings menu saves the window state) OK sends nothing.
        rig.window().mnuDemo->trigger();
        rig.window().SaveWindowState();
        peer.clear();
        auto demo = settingsWindow(rig);
        demo->chkCoinBoxInstalled->setChecked(false);
        demo->cmdOk->click();
        QCOMPARE(demo->result(), int(QDialog::Accepted));
        QTest::qWait(100);
        QCOMPARE(peer.received(), QByteArray());
        QVERIFY(rig.window().cmdCoin->isHidden());
    }

    void checksStopOk()
    {
        const struct
        {
            const char* name;
            std::function<void(frmDragSettings&)> change;
            QString text;
            QString title;
            const char* focus;
        } cases[] = {
            {"0.05", [](auto& w) { w.txtProTreeCoundown->setText("0.05"); }, kCountdown,
             "ProTree Count-Down", "txtProTreeCoundown"},
            {"0.65", [](auto& w) { w.txtProTreeCoundown->setText(".65"); }, kCountdown,
             "ProTree Count-Down", "txtProTreeCoundown"},
            {"letters", [](auto& w) { w.txtProTreeCoundown->setText("abc"); }, kCountdown,
             "ProTree Count-Down", "txtProTreeCoundown"},
            {"led on the unit's port",
             [](auto& w) {
                 w.chkLedDisplayInstalled->setChecked(true);
                 w.cmbLedDisplayCommPort->setCurrentIndex(0);
             },
             "ProTree & Led Display cannot be connected to same port.\r\nChange either the "
             "ProTree port or the Led Display port.",
             "Port conflict", nullptr},
            {"no speed trap", [](auto& w) { w.txtSpeedTrap->setText("x"); },
             "Enter distance for Speed Trap", "Speed Trap", "txtSpeedTrap"},
            {"no multiplier", [](auto& w) { w.txtSpeedMultiplier->setText("0"); },
             "Enter value for Speed Multiplier", "Speed Multiplier", "txtSpeedMultiplier"},
            {"minimum typed", [](auto& w) { w.cmbRandomStart->setEditText("1.5"); },
             "The minimum delay must be a whole number from 0 to 9.", "Random Start Delay",
             "cmbRandomStart"},
            {"maximum typed", [](auto& w) { w.cmbRandomEnd->setEditText("soon"); },
             "Random Start Delay value must be Numeric", "Random Start Delay", "cmbRandomEnd"},
        };
        for (const auto& c : cases) {
            WindowRig rig;
            rig.startWith(WindowRig::proTreeSetup());
            const QByteArray before = fileBytes(rig.dir.filePath(kSettingsFileName));
            auto w = settingsWindow(rig);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->optLargeFont->setChecked(true);
            c.change(*w);
            w->cmdOk->click();
            QCOMPARE(rig.prompter.texts(), QStringList{c.text});
            QCOMPARE(rig.prompter.messages[0].title, c.title);
            QVERIFY2(w->isVisible(), c.name);
            QCOMPARE(fileBytes(rig.dir.filePath(kSettingsFileName)), before);
            // Large fonts were taken before the checks and stay taken.
            QVERIFY(rig.app->settings().record().LargeFont);
            if (!c.focus)
                continue;
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            auto* box = qobject_cast<QComboBox*>(focus);
            if (!box)
                box = qobject_cast<QComboBox*>(focus->parentWidget());
            QCOMPARE(box ? box->objectName() : focus->objectName(), QLatin1String(c.focus));
            QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(focus);
            QVERIFY(edit);
            QCOMPARE(edit->selectedText(), edit->text());
        }
    }

    void portsAreReopenedByOk()
    {
        WindowRig rig(WindowRig::Port::Serial);
        sim::PtyPeer peer(rig.folder(), 1);
        rig.startWith(WindowRig::proTreeSetup());
        QVERIFY(rig.port().isOpen());
        const QByteArray before = fileBytes(rig.dir.filePath(kSettingsFileName));
        auto w = settingsWindow(rig);
        w->cmbProTreeCommPort->setCurrentIndex(1);
        w->cmdOk->click();
        QCOMPARE(rig.prompter.texts(),
                 QStringList{QStringLiteral("Invalid Port\r\nPlease select another Port")});
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Halvex 3000"));
        QVERIFY(!rig.port().isOpen());
        QVERIFY(w->result() != QDialog::Accepted);
        QCOMPARE(fileBytes(rig.dir.filePath(kSettingsFileName)), before);

        // A port conflict stops OK with the new port open; without the LED display, equal
        // ports are fine.
        rig.prompter.clear();
        w->cmbProTreeCommPort->setCurrentIndex(0);
        w->chkLedDisplayInstalled->setChecked(true);
        w->cmbLedDisplayCommPort->setCurrentIndex(0);
        w->cmdOk->click();
        QCOMPARE(rig.prompter.messages.size(), 1);
        QVERIFY(rig.port().isOpen());
        w->chkLedDisplayInstalled->setChecked(false);
        w->cmdOk->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    void theDelayListsFollowTheMinimum()
    {
        WindowRig rig;
        rig.settings.RandomStartMin = 1;
        rig.settings.RandomStartMaxIndex = 1; // 3 seconds
        rig.settings.NumberOfSensors = 7;     // a hand-edited count past the boxes
        rig.settings.ProTreeCommPortIndex = 9;
        rig.startWith(WindowRig::proTreeSetup());
        auto w = settingsWindow(rig);
        QCOMPARE(w->cmbRandomEnd->currentText(), QStringLiteral("3"));
        QCOMPARE(w->cmbProTreeCommPort->currentIndex(), -1);
        w->cmbRandomStart->setCurrentIndex(4);
        QStringList maxima;
        for (int i = 0; i < w->cmbRandomEnd->count(); ++i)
            maxima << w->cmbRandomEnd->itemText(i);
        QCOMPARE(maxima, (QStringList{"5", "6", "7", "8", "9", "10"}));
        QCOMPARE(w->cmbRandomEnd->currentText(), QStringLiteral("5"));
        w->cmbRandomEnd->setCurrentIndex(3);
        w->cmbRandomStart->setCurrentIndex(2);
        QCOMPARE(w->cmbRandomEnd->currentText(), QStringLiteral("8"));
        QCOMPARE(rig.app->settings().record().RandomStartMin, qint16(2));
        // A typed maximum that the list does not hold is stored as position -1.
        w->cmbProTreeCommPort->setCurrentIndex(0);
        w->cmbNoOfSensors->setCurrentIndex(2);
        w->cmbRandomEnd->setEditText(QStringLiteral("12"));
        w->txtProTreeCoundown->setText(QStringLiteral("0.1"));
        w->cmdOk->click();
        QCOMPARE(rig.prompter.texts(), QStringList());
        QCOMPARE(rig.app->settings().record().RandomStartMaxIndex, qint16(-1));
        const QByteArray stored = fileBytes(rig.dir.filePath(kSettingsFileName));
        QVERIFY(stored.startsWith(".1,0,"));
        QVERIFY(stored.contains(",2,-1,3,"));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
