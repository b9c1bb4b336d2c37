#pragma once

#include "data/MasterListEditor.h"
#include "race/RaceSetup.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace halvex {

struct Services;
class Credits;
class Settings;
class WindowState;
class RaceSession;
class SetupModel;
class TimingUnit;

inline const QString kMainCaption = QStringLiteral("Vantora - Halvex 3000");
inline const QString kDemoCaption = QStringLiteral("Vantora - Halvex 3000      DEMO MODE");

// The main race window: the race setup of both lanes, Start Race, the coin box controls and the
// menus from which every other window is opened. Loading it starts the program. It edits the race
// setup that the core holds, and shows it again when someone else sets it; it follows the race
// session (Start Race stays disabled while a result waits for its commit, the status bar tells of
// the wait for the unit) and the window state.
class frmDragRacing final : public QMainWindow
{
    Q_OBJECT

public:
    frmDragRacing(Services& services, Settings& settings, WindowState& state, Credits& credits,
                  TimingUnit& unit, SetupModel& setup, RaceSession& session,
                  QWidget* parent = nullptr);
    ~frmDragRacing() override;
    Q_DISABLE_COPY_MOVE(frmDragRacing)

    // The start-up sequence up to the unit: the lists, the settings and the saved setup. The
    // window is shown afterwards.
    void load();
    // The rest of it: the port opened, the unit greeted, the tree's handicap sent.
    void connectUnit();

    void ApplyWindowState();
    void SaveWindowState();
    void SetupTree();
    void LoadRacers();
    void LoadCars();
    void LoadClasses();
    // The setup the controls show now.
    RaceSetup raceSetup() const;
    // Shows a setup set from elsewhere (the next pairing of a ladder).
    void showSetup(const RaceSetup& setup);
    // The status bar's word on the timing unit's link.
    void showLinkStatus(bool connected);
    // The status bar names the chosen event, so the operator knows where the passes go.
    void showChosenEvent(const QString& name);
    // The event server's status line, with the stations last seen as its tip; empty hides it.
    void showServerStatus(const QString& text, const QString& stations);
    // From Start Race until the result shows or the race has ended without one.
    bool raceRunning() const;

Q_SIGNALS:
    // The window closes and the program with it; what must be asked is asked now.
    void aboutToQuit();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void showWindowState();
    void showMessageForFailure(const std::exception& e);
    // Runs one step of the start-up; a failure is reported and the start-up goes on.
    void step(const std::function<void()>& fn);

    void cmbTree_Click();
    void cmbRacers_Click(int lane);
    void txtDialin_Change(int lane);
    void cmdSwapLanes_Click();
    void cmdRace_Click();
    void cmdCoin_Click();
    void mnuDemo_Click();
    void mnuDataBase_Click(MasterListKind kind);

    void setDemoMarks(bool demo);
    void announceSetup();
    void showSessionState();
    void fillLaneBoxes(std::array<QComboBox*, 2> boxes, const QStringList& names);
    void loadLaneList(std::array<QComboBox*, 2> boxes, const QString& fileName,
                      const QString& leftText, const QString& rightText);

    Services& m_services;
    Settings& m_settings;
    WindowState& m_state;
    Credits& m_credits;
    TimingUnit& m_unit;
    SetupModel& m_setup;
    RaceSession& m_session;
    bool m_mirroring = false;
    // Controls being set from the setup: their changes are not announced one by one.
    bool m_showingSetup = false;
    // A racer was chosen from the list (the popup, or the arrow keys), not typed.
    std::array<bool, 2> m_listChoice{};

public:
    // Controls, by their designed names.
    QPushButton* cmdRace = nullptr;
    QGroupBox* fraClass = nullptr;
    QComboBox* cmbClass = nullptr;
    QGroupBox* fraTree = nullptr;
    QComboBox* cmbTree = nullptr;
    QGroupBox* fraRacers = nullptr;
    QGroupBox* fraLeft = nullptr;
    QGroupBox* fraRight = nullptr;
    std::array<QComboBox*, 2> cmbRacers{};
    std::array<QComboBox*, 2> cmbCars{};
    std::array<QLineEdit*, 2> txtDialin{};
    QLabel* lblDialin = nullptr;
    QLabel* lblCar = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblLeftLane = nullptr;
    QLabel* lblRightLane = nullptr;
    QPushButton* cmdSwapLanes = nullptr;
    QPushButton* cmdCoin = nullptr;
    QLabel* lblCredits = nullptr;
    QLabel* lblDemo = nullptr;
    QLabel* imgDragster = nullptr;
    QLabel* imgVantora = nullptr;
    QLabel* lblLinkStatus = nullptr;
    QLabel* lblEvent = nullptr;

    QAction* mnuFileNewEvent = nullptr;
    QAction* mnuFileLoadEvent = nullptr;
    QAction* mnuSaveEvent = nullptr;
    QAction* mnuExportEvent = nullptr;
    QAction* mnuPublishResults = nullptr;
    QAction* mnuPublishAfterEveryPass = nullptr;
    QAction* mnuPutEventOnServer = nullptr;
    QAction* mnuTakeControl = nullptr;
    QAction* mnuEventServer = nullptr;
    // How the station stands with the event server; hidden while the event is not shared.
    QLabel* lblServer = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuQualifications = nullptr;
    QAction* mnuEliminations = nullptr;
    QAction* mnuDemo = nullptr;
    QAction* mnuLoggedRaces = nullptr;
    QAction* mnuViewScoreboard = nullptr;
    QAction* mnuDataBaseClasses = nullptr;
    QAction* mnuRacers = nullptr;
    QAction* mnuDataBaseCars = nullptr;
    QAction* mnuPreferencenesPrintSlip = nullptr;
    QAction* mnuSettingsSettings = nullptr;
    QAction* mnuHelpIndex = nullptr;
    QAction* mnuDiagnostic = nullptr;
    QAction* mnuVantoraWebSite = nullptr;
    QAction* mnuHelpAbout = nullptr;
};

} // namespace halvex
