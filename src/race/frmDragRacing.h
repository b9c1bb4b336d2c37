#pragma once

#include "data/MasterListEditor.h"
#include "race/RaceHost.h"
#include "reports/frmDragStats.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace halvex {

struct Services;
struct ModDragRacing;
class ModCommand;

// The main race window: the race setup of both lanes, Start Race, the coin box controls and the
// menus from which every other window is opened. Loading it starts the program.
class frmDragRacing final : public QMainWindow, public RaceHost
{
    Q_OBJECT

public:
    frmDragRacing(Services& services, ModDragRacing& globals, ModCommand& command,
                  QWidget* parent = nullptr);
    ~frmDragRacing() override;

    // The start-up sequence; the window is shown afterwards.
    void load();

    void ApplyWindowState();
    void SetupTree();
    void LoadRacers();
    void LoadCars();
    void LoadClasses();

    // RaceHost
    void ProcessTimes() override;
    int treeIndex() const override;
    void setRaceEnabled(bool enabled) override;
    void showMainWindow() override;

    void ProcessVariables();
    // Loads and shows the statistics window of the race whose report is in RaceReply.
    void ShowRaceStatistics();
    frmDragStats* statisticsWindow() const { return m_stats; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void SaveWindowState();
    void showMessageForFailure(const std::exception& e);

    void cmbTree_Click();
    void cmbRacers_Click(int lane);
    void txtDialin_Change(int lane);
    void cmdSwapLanes_Click();
    void cmdRace_Click();
    void mnuDemo_Click();
    void mnuDataBase_Click(MasterListKind kind);
    void mnuHelpIndex_Click();

    void RunRace();
    void RunDemoRace();
    void showStartDelay();
    void setDemoMarks(bool demo);
    void loadLaneList(std::array<QComboBox*, 2> boxes, const QString& fileName,
                      const QString& leftText, const QString& rightText);

    Services& m_services;
    ModDragRacing& m_g;
    ModCommand& m_command;
    QPointer<frmDragStats> m_stats;
    QPointer<QWidget> m_help;
    bool m_mirroring = false;

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

    QAction* mnuFileNewEvent = nullptr;
    QAction* mnuFileLoadEvent = nullptr;
    QAction* mnuSaveEvent = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuQualifications = nullptr;
    QAction* mnuDemo = nullptr;
    QAction* mnuLoggedRaces = nullptr;
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
