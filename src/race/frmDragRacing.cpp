#include "race/frmDragRacing.h"

#include "data/MasterList.h"
#include "data/Numbers.h"
#include "data/Settings.h"
#include "link/TimingUnit.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "platform/Services.h"
#include "race/Credits.h"
#include "race/LabelColour.h"
#include "race/RaceSession.h"
#include "race/ResultDisplay.h"
#include "race/SetupModel.h"
#include "race/WindowState.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStringListModel>

namespace halvex {

frmDragRacing::frmDragRacing(Services& services, Settings& settings, WindowState& state,
                             Credits& credits, TimingUnit& unit, SetupModel& setup,
                             RaceSession& session, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_settings(settings), m_state(state),
      m_credits(credits), m_unit(unit), m_setup(setup), m_session(session)
{
    setObjectName(QStringLiteral("frmDragRacing"));
    setWindowTitle(kMainCaption);
    buildControls();
    buildMenus();
    lblLinkStatus = new QLabel(this);
    lblLinkStatus->setObjectName(QStringLiteral("lblLinkStatus"));
    statusBar()->addWidget(lblLinkStatus);
    // Hidden until an event is chosen: the day's practice event needs no word.
    lblEvent = new QLabel(this);
    lblEvent->setObjectName(QStringLiteral("lblEvent"));
    lblEvent->hide();
    statusBar()->addPermanentWidget(lblEvent);
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->hide();
    statusBar()->addPermanentWidget(lblServer);
    connect(&m_state, &WindowState::applied, this, &frmDragRacing::showWindowState);
    connect(&m_session, &RaceSession::pendingChanged, this,
            [this](bool pending) { cmdRace->setEnabled(!pending); });
    connect(&m_session, &RaceSession::stateChanged, this, &frmDragRacing::showSessionState);
    connect(&m_setup, &SetupModel::changed, this, &frmDragRacing::showSetup);
    connect(&m_credits, &Credits::changed, this, [this] {
        lblCredits->setText(m_credits.text());
        setBackColour(lblCredits, m_credits.colour());
    });
    // Every change of the setup, by the operator or by code, goes to the setup the core holds,
    // so that others show it without reading these controls.
    connect(cmbClass, &QComboBox::currentTextChanged, this, &frmDragRacing::announceSetup);
    connect(cmbTree, &QComboBox::currentIndexChanged, this, &frmDragRacing::announceSetup);
    for (int i = 0; i < 2; ++i) {
        connect(cmbRacers[i], &QComboBox::currentTextChanged, this, &frmDragRacing::announceSetup);
        connect(cmbCars[i], &QComboBox::currentTextChanged, this, &frmDragRacing::announceSetup);
        connect(txtDialin[i], &QLineEdit::textChanged, this, &frmDragRacing::announceSetup);
    }
}

frmDragRacing::~frmDragRacing()
{
    // The controls outlive this part of the window: what they report while they go (a box that
    // loses the focus reports its text as chosen) must not reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        child->disconnect(this);
    }
}

void frmDragRacing::announceSetup()
{
    if (!m_showingSetup)
        m_setup.setSetup(raceSetup());
}

void frmDragRacing::showSetup(const RaceSetup& setup)
{
    if (setup == raceSetup())
        return;
    m_showingSetup = true;
    cmbClass->setEditText(setup.className);
    if (setup.treeIndex != cmbTree->currentIndex() && setup.treeIndex < cmbTree->count()) {
        cmbTree->setCurrentIndex(setup.treeIndex);
        SetupTree();
    }
    cmbRacers[0]->setEditText(setup.racerLeft);
    cmbRacers[1]->setEditText(setup.racerRight);
    cmbCars[0]->setEditText(setup.carLeft);
    cmbCars[1]->setEditText(setup.carRight);
    txtDialin[0]->setText(setup.dialInLeft.text);
    txtDialin[1]->setText(setup.dialInRight.text);
    m_showingSetup = false;
    announceSetup();
}

bool frmDragRacing::raceRunning() const
{
    const RaceSession::State state = m_session.state();
    return state != RaceSession::State::Idle && state != RaceSession::State::Shown;
}

void frmDragRacing::showSessionState()
{
    // While the unit's report is awaited the operator's input is dropped; the status bar says why.
    if (m_session.state() == RaceSession::State::Awaiting)
        statusBar()->showMessage(QStringLiteral("Waiting for the timing unit"));
    else
        statusBar()->clearMessage();
}

void frmDragRacing::showMessageForFailure(const std::exception& e)
{
    if (const auto* f = dynamic_cast<const Failure*>(&e))
        m_services.prompter.message(f->description());
    else
        m_services.prompter.message(QString::fromLocal8Bit(e.what()));
}

void frmDragRacing::step(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        showMessageForFailure(e);
    }
}

// Start-up. Each step that fails is reported and start-up goes on with the next one.
void frmDragRacing::load()
{
    cmbTree->addItems(treeNames());
    cmbTree->setCurrentIndex(-1);

    step([this] { LoadRacers(); });
    step([this] { LoadCars(); });
    step([this] { LoadClasses(); });
    step([this] {
        const QStringList failures = m_settings.read(m_services.folder.path(kSettingsFileName));
        for (const QString& failure : failures)
            m_services.prompter.message(failure);
    });
    if (m_settings.record().CoinBoxInstalled == 1)
        step([this] { m_credits.createFileIfMissing(); });
    // The tree's handicap waits until the port is open and the unit greeted.
    m_unit.beginStartup();
    ApplyWindowState();
    if (!m_state.demoMode())
        lblDemo->hide();
}

void frmDragRacing::connectUnit()
{
    step([this] {
        try {
            m_unit.open();
        } catch (const Failure& f) {
            if (f.code() != Failure::InvalidPortNumber)
                throw;
            m_services.prompter.message(
                QStringLiteral("Invalid Port Number\r\nGo to Settting to select correct port"),
                QStringLiteral("Invalid Port"));
        }
    });
    if (!m_state.demoMode()) {
        ModCommand& command = m_unit.command();
        step([&] { command.send("O"); });
        step([&] { command.SendSignalPolarity(m_settings.record().InvertSignal); });
        step([&] { command.SendStagingMode(m_settings.record().PreStageStage); });
    }
    m_unit.endStartup();
}

// Re-applies the saved setup. Stops silently at the first failure, leaving the rest as it was.
void frmDragRacing::ApplyWindowState()
{
    m_state.apply(m_services.folder);
}

void frmDragRacing::showWindowState()
{
    const WindowStateRecord& s = m_state.record();
    // The saved setup's names are the lanes' names until a race is run.
    m_setup.setLaneNames(LaneNames{s.ClassName, s.RacerLeft, s.RacerRight, s.CarLeft, s.CarRight});
    cmbClass->setEditText(s.ClassName);
    // A position the tree list does not have stops the rest, as the list refuses it.
    if (s.TreeIndex < -1 || s.TreeIndex >= cmbTree->count())
        return;
    cmbTree->setCurrentIndex(s.TreeIndex);
    cmbRacers[0]->setEditText(s.RacerLeft);
    cmbRacers[1]->setEditText(s.RacerRight);
    cmbCars[0]->setEditText(s.CarLeft);
    cmbCars[1]->setEditText(s.CarRight);
    txtDialin[0]->setText(dialInText(s.DialInLeft));
    txtDialin[1]->setText(dialInText(s.DialInRight));
    setDemoMarks(s.DemoMode);
    mnuPreferencenesPrintSlip->setChecked(s.AutoPrintSlip);
    m_credits.setColour(s.CreditsColour);
    try {
        SetupTree();
        m_credits.show(m_settings.record().CoinBoxInstalled == 1);
    } catch (const std::exception&) {
        return;
    }
    const bool installed = m_settings.record().CoinBoxInstalled == 1;
    cmdCoin->setVisible(installed);
    lblCredits->setVisible(installed);
}

// Copies the setup into the window state and writes its file whole. Stops silently on failure.
void frmDragRacing::SaveWindowState()
{
    try {
        WindowStateRecord s = m_state.record();
        s.ClassName = cmbClass->currentText();
        s.TreeIndex = static_cast<qint16>(cmbTree->currentIndex());
        s.RacerLeft = cmbRacers[0]->currentText();
        s.RacerRight = cmbRacers[1]->currentText();
        s.CarLeft = cmbCars[0]->currentText();
        s.CarRight = cmbCars[1]->currentText();
        s.AutoPrintSlip = mnuPreferencenesPrintSlip->isChecked();
        s.DemoMode = mnuDemo->isChecked();
        s.CreditsColour = m_credits.colour();
        const auto dialIn = [](const QLineEdit* box) {
            return isNumeric(box->text()) ? singleValue(box->text()) : 1.0f;
        };
        s.DialInLeft = dialIn(txtDialin[0]);
        s.DialInRight = dialIn(txtDialin[1]);
        m_setup.setLaneNames(
            LaneNames{s.ClassName, s.RacerLeft, s.RacerRight, s.CarLeft, s.CarRight});
        m_state.save(m_services.folder, s);
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
        m_unit.sendZeroHandicap();
    } else {
        lblDialin->show();
        txtDialin[1]->show();
        txtDialin[0]->show();
    }
    // Whether the dial-ins count follows the tree, after the tree's own change.
    announceSetup();
}

void frmDragRacing::fillLaneBoxes(std::array<QComboBox*, 2> boxes, const QStringList& names)
{
    // Both lanes show one list model, made with the boxes: filled once, and no name measured.
    for (QComboBox* box : boxes) {
        auto* model = qobject_cast<QStringListModel*>(box->model());
        if (model->stringList() != names)
            model->setStringList(names);
    }
}

void frmDragRacing::loadLaneList(std::array<QComboBox*, 2> boxes, const QString& fileName,
                                 const QString& leftText, const QString& rightText)
{
    for (QComboBox* box : boxes)
        box->clear();
    try {
        const QStringList names = sortedListNames(readNames(m_services.folder.path(fileName)));
        fillLaneBoxes(boxes, names);
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
    loadLaneList(cmbRacers, kRacersFileName, m_setup.laneNames().racerLeft,
                 m_setup.laneNames().racerRight);
}

void frmDragRacing::LoadCars()
{
    loadLaneList(cmbCars, kCarsFileName, m_setup.laneNames().carLeft, m_setup.laneNames().carRight);
}

// Throws on failure: its callers decide how a missing class file is reported.
void frmDragRacing::LoadClasses()
{
    cmbClass->clear();
    const QStringList names = readNames(m_services.folder.path(kClassesFileName));
    cmbClass->addItems(names);
    cmbClass->setCurrentIndex(-1);
}

RaceSetup frmDragRacing::raceSetup() const
{
    RaceSetup s;
    s.raceCaption = cmdRace->text();
    s.treeIndex = static_cast<qint16>(cmbTree->currentIndex());
    s.className = cmbClass->currentText();
    s.racerLeft = cmbRacers[0]->currentText();
    s.racerRight = cmbRacers[1]->currentText();
    s.carLeft = cmbCars[0]->currentText();
    s.carRight = cmbCars[1]->currentText();
    s.dialInLeft = txtDialin[0]->text();
    s.dialInRight = txtDialin[1]->text();
    s.dialInsShown = !txtDialin[0]->isHidden();
    return s;
}

void frmDragRacing::showServerStatus(const QString& text, const QString& stations)
{
    lblServer->setText(text);
    lblServer->setToolTip(stations);
    lblServer->setVisible(!text.isEmpty());
}

void frmDragRacing::showChosenEvent(const QString& name)
{
    lblEvent->setText(QStringLiteral("Event: ") + name);
    lblEvent->show();
}

void frmDragRacing::showLinkStatus(bool connected)
{
    lblLinkStatus->setText(connected ? QStringLiteral("Timing unit connected")
                                     : QStringLiteral("Timing unit not connected"));
}

void frmDragRacing::closeEvent(QCloseEvent* event)
{
    Q_EMIT aboutToQuit();
    // A race on screen is committed as if its window had been closed; a race still running ends
    // without a result.
    m_session.quit();
    if (m_services.port.isOpen())
        m_services.port.close();
    SaveWindowState();
    event->accept();
}

} // namespace halvex
