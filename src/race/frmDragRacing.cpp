#include "race/frmDragRacing.h"

#include "data/MasterList.h"
#include "data/Numbers.h"
#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "platform/Services.h"
#include "race/ModDragRacing.h"
#include "race/ResultComputation.h"
#include "race/ResultDisplay.h"
#include "reports/frmDragStats.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace halvex {

frmDragRacing::frmDragRacing(Services& services, ModDragRacing& globals, ModCommand& command,
                             QWidget* parent)
    : QMainWindow(parent), m_services(services), m_g(globals), m_command(command)
{
    setObjectName(QStringLiteral("frmDragRacing"));
    setWindowTitle(kMainCaption);
    buildControls();
    buildMenus();
}

frmDragRacing::~frmDragRacing()
{
    // The statistics window commits its race through this window; it must go first.
    delete m_stats.data();
}

void frmDragRacing::showMessageForFailure(const std::exception& e)
{
    if (const auto* f = dynamic_cast<const Failure*>(&e))
        m_services.prompter.message(f->description());
    else
        m_services.prompter.message(QString::fromLocal8Bit(e.what()));
}

// Start-up. Each step that fails is reported and start-up goes on with the next one.
void frmDragRacing::load()
{
    cmbTree->addItems({QStringLiteral("Full Tree"), QStringLiteral("Full Tree with Index"),
                       QStringLiteral("Full Tree with Dial-In"), QStringLiteral("Pro-Tree"),
                       QStringLiteral("Pro-Tree with Index")});
    cmbTree->setCurrentIndex(-1);

    auto step = [this](auto&& fn) {
        try {
            fn();
        } catch (const std::exception& e) {
            showMessageForFailure(e);
        }
    };
    step([this] { LoadRacers(); });
    step([this] { LoadCars(); });
    step([this] { LoadClasses(); });
    step([this] {
        const QStringList failures =
            readSettingsFile(m_services.folder.path(kSettingsFileName), m_g.Settings);
        for (const QString& failure : failures)
            m_services.prompter.message(failure);
    });
    ApplyWindowState();
    step([this] {
        m_services.port.setPortNumber(m_g.Settings.portNumber());
        try {
            m_services.port.open();
        } catch (const Failure& f) {
            if (f.code() != Failure::InvalidPortNumber)
                throw;
            m_services.prompter.message(
                QStringLiteral("Invalid Port Number\r\nGo to Settting to select correct port"),
                QStringLiteral("Invalid Port"));
        }
    });
    if (!m_g.DemoMode) {
        lblDemo->hide();
        step([this] { m_command.send("O"); });
        step([this] { m_command.SendSignalPolarity(m_g.Settings.InvertSignal); });
        step([this] { m_command.SendStagingMode(m_g.Settings.PreStageStage); });
    }
}

// Re-applies the saved setup. Stops silently at the first failure, leaving the rest as it was.
void frmDragRacing::ApplyWindowState()
{
    try {
        readWindowState(readFileBytes(m_services.folder.path(kWindowStateFileName)), m_g);
        cmbClass->setEditText(m_g.ClassName);
        if (m_g.TreeIndex < -1 || m_g.TreeIndex >= cmbTree->count())
            throw Failure(QStringLiteral("Invalid property value"));
        cmbTree->setCurrentIndex(m_g.TreeIndex);
        cmbRacers[0]->setEditText(m_g.RacerLeft);
        cmbRacers[1]->setEditText(m_g.RacerRight);
        cmbCars[0]->setEditText(m_g.CarLeft);
        cmbCars[1]->setEditText(m_g.CarRight);
        txtDialin[0]->setText(dialInText(m_g.DialInLeft));
        txtDialin[1]->setText(dialInText(m_g.DialInRight));
        setDemoMarks(m_g.DemoMode);
        mnuPreferencenesPrintSlip->setChecked(m_g.AutoPrintSlip);
        setBackColour(lblCredits, m_g.CreditsColour);
        SetupTree();
    } catch (const std::exception&) {
        return;
    }
}

// Copies the setup into the globals and writes the state file whole. Stops silently on failure.
void frmDragRacing::SaveWindowState()
{
    try {
        m_g.ClassName = cmbClass->currentText();
        m_g.TreeIndex = static_cast<qint16>(cmbTree->currentIndex());
        m_g.RacerLeft = cmbRacers[0]->currentText();
        m_g.RacerRight = cmbRacers[1]->currentText();
        m_g.CarLeft = cmbCars[0]->currentText();
        m_g.CarRight = cmbCars[1]->currentText();
        m_g.AutoPrintSlip = mnuPreferencenesPrintSlip->isChecked();
        m_g.DemoMode = mnuDemo->isChecked();
        m_g.CreditsColour = backColour(lblCredits);
        const auto dialIn = [](const QLineEdit* box) {
            return isNumeric(box->text()) ? singleValue(box->text()) : 1.0f;
        };
        m_g.DialInLeft = dialIn(txtDialin[0]);
        m_g.DialInRight = dialIn(txtDialin[1]);
        writeFileAtomically(m_services.folder.path(kWindowStateFileName), windowStateLine(m_g));
    } catch (const std::exception&) {
        return;
    }
}

void frmDragRacing::setDemoMarks(bool demo)
{
    mnuDemo->setChecked(demo);
    setWindowTitle(demo ? kDemoCaption : kMainCaption);
}

void frmDragRacing::SetupTree()
{
    const int tree = cmbTree->currentIndex();
    if (isIndexTree(tree)) {
        lblDialin->setText(QStringLiteral("Index"));
        txtDialin[1]->setText(txtDialin[0]->text());
    } else {
        lblDialin->setText(QStringLiteral("Dial-In"));
    }
    if (tree == 0 || tree == 3) {
        lblDialin->hide();
        txtDialin[1]->hide();
        txtDialin[0]->hide();
        m_command.SendHandicap(QStringLiteral("0.000"), QStringLiteral("0.000"));
        m_g.Log.LeftResult.DialIn = 0;
        m_g.Log.RightResult.DialIn = 0;
    } else {
        lblDialin->show();
        txtDialin[1]->show();
        txtDialin[0]->show();
    }
}

void frmDragRacing::loadLaneList(std::array<QComboBox*, 2> boxes, const QString& fileName,
                                 const QString& leftText, const QString& rightText)
{
    for (QComboBox* box : boxes)
        box->clear();
    try {
        const QStringList names = readNames(m_services.folder.path(fileName));
        for (QComboBox* box : boxes) {
            for (const QString& name : names) {
                int at = 0;
                while (at < box->count() && compareListNames(box->itemText(at), name) <= 0)
                    ++at;
                box->insertItem(at, name);
            }
        }
    } catch (const Failure& f) {
        for (QComboBox* box : boxes)
            box->setCurrentIndex(-1);
        m_services.prompter.message(f.description());
        return;
    }
    // The boxes select their first entry by themselves; the lanes show the names of the setup.
    boxes[0]->setCurrentIndex(-1);
    boxes[1]->setCurrentIndex(-1);
    boxes[0]->setEditText(leftText);
    boxes[1]->setEditText(rightText);
}

void frmDragRacing::LoadRacers()
{
    loadLaneList(cmbRacers, kRacersFileName, m_g.RacerLeft, m_g.RacerRight);
}

void frmDragRacing::LoadCars()
{
    loadLaneList(cmbCars, kCarsFileName, m_g.CarLeft, m_g.CarRight);
}

// Throws on failure: its callers decide how a missing class file is reported.
void frmDragRacing::LoadClasses()
{
    cmbClass->clear();
    const QStringList names = readNames(m_services.folder.path(kClassesFileName));
    cmbClass->addItems(names);
    cmbClass->setCurrentIndex(-1);
}

int frmDragRacing::treeIndex() const
{
    return cmbTree->currentIndex();
}

void frmDragRacing::setRaceEnabled(bool enabled)
{
    cmdRace->setEnabled(enabled);
}

void frmDragRacing::showMainWindow()
{
    show();
    activateWindow();
}

void frmDragRacing::closeEvent(QCloseEvent* event)
{
    // A race on screen is committed as if its window had been closed.
    if (m_stats)
        m_stats->close();
    if (m_services.port.isOpen())
        m_services.port.close();
    SaveWindowState();
    event->accept();
}

} // namespace halvex
