// Race setup and the race run of the main race window.
#include "data/Numbers.h"
#include "data/Settings.h"
#include "data/frmListEditor.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "platform/Sound.h"
#include "race/Credits.h"
#include "race/RaceSession.h"
#include "race/ResultDisplay.h"
#include "race/SetupModel.h"
#include "race/WindowState.h"
#include "race/frmDragRacing.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace halvex {

bool frmDragRacing::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < 2; ++i) {
        // A racer chosen from the list: a click or Enter in the open list, or an arrow key on
        // the closed box. The box reports typed text that matches an entry the same way when
        // the operator leaves it; that is no choice.
        QComboBox* box = cmbRacers[i];
        const bool inList = watched == box->view() || watched == box->view()->viewport();
        bool choice = false;
        if (event->type() == QEvent::MouseButtonRelease && inList) {
            choice = true;
        } else if (event->type() == QEvent::KeyPress && (inList || watched == box)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
            const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                               key == Qt::Key_PageDown;
            choice = inList ? enter : arrow;
        }
        if (choice) {
            m_listChoice[i] = true;
            QTimer::singleShot(0, this, [this, i] { m_listChoice[i] = false; });
        }
    }
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

void frmDragRacing::cmbRacers_Click(int lane)
{
    if (!std::exchange(m_listChoice[lane], false))
        return;
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

    const QString racerLeft = cmbRacers[0]->currentText();
    const QString racerRight = cmbRacers[1]->currentText();
    cmbRacers[0]->setEditText(racerRight);
    cmbRacers[1]->setEditText(racerLeft);
    // The names pass through the lanes' racer names, which keep them as they stood before.
    LaneNames names = m_setup.laneNames();
    names.racerLeft = racerLeft;
    names.racerRight = racerRight;
    m_setup.setLaneNames(names);

    const QString carLeft = cmbCars[0]->currentText();
    cmbCars[0]->setEditText(cmbCars[1]->currentText());
    cmbCars[1]->setEditText(carLeft);

    if (cmdRace->isEnabled())
        cmdRace->setFocus();
}

void frmDragRacing::mnuDemo_Click()
{
    const bool demo = mnuDemo->isChecked();
    m_state.setDemoMode(demo);
    setWindowTitle(demo ? kDemoCaption : kMainCaption);
    lblDemo->setVisible(demo);
}

void frmDragRacing::cmdRace_Click()
{
    announceSetup();
    const SetupField focus = m_session.start();
    switch (focus) {
    case SetupField::None:
        break;
    case SetupField::Class:
        cmbClass->setFocus();
        break;
    case SetupField::RacerLeft:
        cmbRacers[0]->setFocus();
        break;
    case SetupField::RacerRight:
        cmbRacers[1]->setFocus();
        break;
    case SetupField::DialInLeft:
    case SetupField::DialInRight: {
        QLineEdit* box = txtDialin[0];
        if (focus == SetupField::DialInRight)
            box = txtDialin[1];
        box->setFocus();
        box->selectAll();
        break;
    }
    }
}

void frmDragRacing::cmdCoin_Click()
{
    const int perCoin = m_settings.record().CreditsPerCoinIndex + 1;
    if (m_credits.insertCoin(perCoin))
        m_services.sound.play(kCoinSoundFileName);
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

} // namespace halvex
