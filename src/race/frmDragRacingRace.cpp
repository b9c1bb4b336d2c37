// Race setup and the race run of the main race window.
#include "data/Numbers.h"
#include "data/frmListEditor.h"
#include "link/ModCommand.h"
#include "link/frmDelay.h"
#include "periphery/frmHelp.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/Random.h"
#include "platform/Services.h"
#include "race/DemoRace.h"
#include "race/ModDragRacing.h"
#include "race/ResultComputation.h"
#include "race/ResultDisplay.h"
#include "race/frmDragRacing.h"
#include "reports/frmDragStats.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace halvex {

bool frmDragRacing::eventFilter(QObject* watched, QEvent* event)
{
    for (QLineEdit* box : txtDialin) {
        if (watched != box)
            continue;
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::MouseButtonRelease:
            // After the click has placed the caret, so the selection is what remains.
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
            break;
        case QEvent::FocusOut:
            // Text that is not a number, or too large for one, stays as typed.
            if (isNumeric(box->text())) {
                try {
                    box->setText(dialInText(singleValue(box->text())));
                } catch (const Failure&) {
                }
            }
            break;
        case QEvent::Enter:
            box->setToolTip(lblDialin->text() == QLatin1String("Index")
                                ? QStringLiteral("Enter Index Value")
                                : QStringLiteral("Enter Dial-In Value"));
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmDragRacing::txtDialin_Change(int lane)
{
    if (m_mirroring || !isIndexTree(cmbTree->currentIndex()))
        return;
    QLineEdit* other = txtDialin[1 - lane];
    if (other->text() == txtDialin[lane]->text())
        return;
    m_mirroring = true;
    other->setText(txtDialin[lane]->text());
    m_mirroring = false;
}

void frmDragRacing::cmbTree_Click()
{
    SetupTree();
}

void frmDragRacing::cmbRacers_Click(int)
{
    if (cmbRacers[0]->currentText() == cmbRacers[1]->currentText())
        m_services.prompter.message(QStringLiteral("Select a different Racer"));
}

void frmDragRacing::cmdSwapLanes_Click()
{
    if (cmbRacers[0]->currentText().isEmpty() || cmbRacers[1]->currentText().isEmpty()) {
        m_services.prompter.message(
            QStringLiteral("Please select both Racers before swaping Lanes"),
            QStringLiteral("Swap Lanes"));
        return;
    }
    const QString dialLeft = txtDialin[0]->text();
    const QString dialRight = txtDialin[1]->text();
    txtDialin[0]->setText(dialRight);
    txtDialin[1]->setText(dialLeft);

    m_g.RacerLeft = cmbRacers[0]->currentText();
    m_g.RacerRight = cmbRacers[1]->currentText();
    cmbRacers[0]->setEditText(m_g.RacerRight);
    cmbRacers[1]->setEditText(m_g.RacerLeft);

    const QString carLeft = cmbCars[0]->currentText();
    cmbCars[0]->setEditText(cmbCars[1]->currentText());
    cmbCars[1]->setEditText(carLeft);

    if (cmdRace->isEnabled())
        cmdRace->setFocus();
}

void frmDragRacing::mnuDemo_Click()
{
    m_g.DemoMode = mnuDemo->isChecked();
    setWindowTitle(m_g.DemoMode ? kDemoCaption : kMainCaption);
    lblDemo->setVisible(m_g.DemoMode);
}

void frmDragRacing::cmdRace_Click()
{
    try {
        m_g.RaceOk = true;
        Prompter& prompter = m_services.prompter;
        if (cmbClass->currentText().isEmpty()) {
            prompter.message(QStringLiteral("Please select Class"));
            cmbClass->setFocus();
            return;
        }
        if (cmdRace->text() != QLatin1String("Start &Race"))
            return;
        for (int i = 0; i < 2; ++i) {
            if (cmbRacers[i]->currentText().trimmed().isEmpty()) {
                prompter.message(QStringLiteral("Please select Racers"));
                cmbRacers[i]->setFocus();
                return;
            }
        }
        if (!txtDialin[0]->isHidden()) {
            for (QLineEdit* box : txtDialin) {
                if (!isNumeric(box->text())) {
                    prompter.message(QStringLiteral("Dial-In must be numeric"),
                                     QStringLiteral("Dail-In Value"));
                    box->setFocus();
                    box->selectAll();
                    return;
                }
            }
            // A value beyond the single range fails here, before anything is sent.
            if (singleValue(txtDialin[0]->text()) == 0 || singleValue(txtDialin[1]->text()) == 0) {
                prompter.message(
                    QStringLiteral("Enter Dial-In values.\r\nOr select a different Tree."),
                    QStringLiteral("Dial-In Values"), Buttons::OkCancel);
                return;
            }
        }
        if (m_g.Log.isFull()) {
            prompter.message(
                QStringLiteral(
                    "The race log is full: it holds %1 races. Save the race data and clear the log "
                    "(View, Logged Races) before the next race.")
                    .arg(RaceHistory::kMaxRaces));
            return;
        }
        if (mnuDemo->isChecked())
            RunDemoRace();
        else
            RunRace();
        if (m_g.RaceOk)
            ShowRaceStatistics();
    } catch (const std::exception& e) {
        showMessageForFailure(e);
    }
}

void frmDragRacing::showStartDelay()
{
    frmDelay delay(m_services.random, m_g.Settings.RandomStartMin, m_g.Settings.RandomStartMaxIndex,
                   this);
    delay.exec();
}

void frmDragRacing::RunRace()
{
    m_command.sendUngated("O");
    if (!m_g.Settings.PreStageStage) {
        m_command.send("GL21");
        m_command.send("GR21");
    }
    showStartDelay();

    const int tree = cmbTree->currentIndex();
    if (tree >= 0 && tree <= 4) {
        const QString zero = QStringLiteral("0.000");
        const bool handicap = isHandicapTree(tree);
        m_command.SendHandicap(handicap ? txtDialin[0]->text() : zero,
                               handicap ? txtDialin[1]->text() : zero);
        m_command.sendUngated(tree <= 2 ? "N" : "P");
    }
    m_command.ReadRaceReply();
}

void frmDragRacing::RunDemoRace()
{
    showStartDelay();
    m_services.random.reseed();
    runDemoRace(m_services.random, m_command.RaceReply);
}

void frmDragRacing::ProcessVariables()
{
    m_g.ClassName = cmbClass->currentText();
    m_g.RacerLeft = cmbRacers[0]->currentText();
    m_g.RacerRight = cmbRacers[1]->currentText();
    m_g.CarLeft = cmbCars[0]->currentText();
    m_g.CarRight = cmbCars[1]->currentText();
}

void frmDragRacing::ProcessTimes()
{
    RaceSetup setup;
    setup.treeIndex = static_cast<qint16>(cmbTree->currentIndex());
    setup.className = cmbClass->currentText();
    setup.racerLeft = cmbRacers[0]->currentText();
    setup.racerRight = cmbRacers[1]->currentText();
    setup.carLeft = cmbCars[0]->currentText();
    setup.carRight = cmbCars[1]->currentText();
    setup.dialInLeft = txtDialin[0]->text();
    setup.dialInRight = txtDialin[1]->text();
    const TrapTimes trap = processTimes(setup, m_command.RaceReply, m_g.Settings, m_g.Log);
    m_g.TrapTimeLeft = trap.left;
    m_g.TrapTimeRight = trap.right;
}

void frmDragRacing::ShowRaceStatistics()
{
    ProcessVariables();
    auto* stats = new frmDragStats(*this, m_g, m_command, m_services.prompter, this);
    m_stats = stats;
    stats->lblDragRacingClass->setText(QStringLiteral("Class: ") + m_g.ClassName);

    const RaceRecord& L = m_g.Log.LeftResult;
    const RaceRecord& R = m_g.Log.RightResult;
    stats->lblNameLeft->setText(cmbRacers[0]->currentText());
    stats->lblNameRight->setText(cmbRacers[1]->currentText());
    stats->lblCarLeft->setText(m_g.CarLeft);
    stats->lblCarRight->setText(m_g.CarRight);
    stats->lblLeftRT->setText(timeText(L.ReactionTime));
    stats->lblRightRT->setText(timeText(R.ReactionTime));
    stats->lblLeftET->setText(timeText(L.ElapsedTime));
    stats->lblRightET->setText(timeText(R.ElapsedTime));
    // A margin of 0 or less leaves the label as designed.
    if (const QString margin = winMarginText(L.WinMargin); !margin.isEmpty())
        stats->lblLeftWM->setText(margin);
    if (const QString margin = winMarginText(R.WinMargin); !margin.isEmpty())
        stats->lblRightWM->setText(margin);
    stats->lblLeftMPH->setText(speedText(L.Speed));
    stats->lblRightMPH->setText(speedText(R.Speed));

    const int n = shownSensors(m_g.Settings);
    stats->lblLeft->setText(timingPointLines(L, n));
    stats->lblRight->setText(timingPointLines(R, n));
    stats->lblCenter->setText(sensorNameLines(m_g.Settings, n));
    if (const int size = timingFontSize(n)) {
        for (QLabel* label : {stats->lblLeft, stats->lblRight, stats->lblCenter}) {
            QFont f = label->font();
            f.setPointSize(size);
            label->setFont(f);
        }
    }
    stats->show();
    // The operator reads the result and answers it with Enter, the window's default button.
    stats->raise();
    stats->activateWindow();
}

void frmDragRacing::mnuDataBase_Click(MasterListKind kind)
{
    {
        frmListEditor editor(kind, m_services, this);
        editor.exec();
    }
    // Closing the editor, either way, refreshes the main window's boxes from its file.
    switch (kind) {
    case MasterListKind::Racers:
        LoadRacers();
        break;
    case MasterListKind::Cars:
        LoadCars();
        break;
    case MasterListKind::Classes:
        try {
            LoadClasses();
            cmbClass->setEditText(cmbClass->count() > 0 ? cmbClass->itemText(cmbClass->count() - 1)
                                                        : QString());
        } catch (const std::exception& e) {
            showMessageForFailure(e);
        }
        break;
    }
}

void frmDragRacing::mnuHelpIndex_Click()
{
    if (!m_help)
        m_help = new frmHelp(m_services.folder, this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace halvex
