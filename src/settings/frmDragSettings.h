#pragma once

#include "settings/SettingsEntry.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace halvex {

struct Services;

// The installation's settings on eight tabs. Loading reads the file afresh; the unit, staging,
// sensor count and minimum delay change the settings record at once, as the operator picks them;
// OK checks, stores, writes and reconfigures (SettingsAcceptance), Cancel leaves the file alone.
class frmDragSettings final : public QDialog
{
    Q_OBJECT
public:
    frmDragSettings(Services& services, SettingsAcceptance::Parts parts, QWidget* parent = nullptr);

    // What the controls show now.
    SettingsEntry entry() const;

    QTabBar* TabStrip1 = nullptr;
    std::array<QGroupBox*, 9> Frame1{}; // 1 to 8
    QLineEdit* txtEnterTrackName = nullptr;
    QGroupBox* fraUnits = nullptr;
    QRadioButton* optMetric = nullptr;
    QRadioButton* optImperial = nullptr;
    QLineEdit* txtTrackLength = nullptr;
    QLabel* lblTrackLength = nullptr;
    QLineEdit* txtSpeedTrap = nullptr;
    QLabel* lblSpeedTrap = nullptr;
    QLineEdit* txtSpeedMultiplier = nullptr;
    QComboBox* cmbProTreeCommPort = nullptr;
    QComboBox* cmbNoOfSensors = nullptr;
    std::array<QLineEdit*, 4> txtInterSensor{}; // 1 to 3
    QCheckBox* chkInvertSignal = nullptr;
    QLineEdit* txtProTreeCoundown = nullptr;
    QRadioButton* optPrestage = nullptr;
    QRadioButton* optPreStageStart = nullptr;
    QComboBox* cmbRandomStart = nullptr;
    QComboBox* cmbRandomEnd = nullptr;
    QCheckBox* chkLedDisplayInstalled = nullptr;
    QComboBox* cmbLedDisplayCommPort = nullptr;
    QCheckBox* chkCoinBoxInstalled = nullptr;
    QComboBox* cmbCreditsPerCoin = nullptr;
    QComboBox* cmbNoOfCopies = nullptr;
    QRadioButton* optLargeFont = nullptr;
    QRadioButton* optSmallFont = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

Q_SIGNALS:
    void helpRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void TabStrip1_Click(int tab);
    void cmbNoOfSensors_Click();
    void optUnits_Click();
    void optStaging_Click();
    void RandomStart();
    void cmdOk_Click();

    Services& m_services;
    SettingsAcceptance m_acceptance;
    Settings& m_settings;
    int m_tabShown = 1;
    bool m_rebuildingMaximum = false;
};

} // namespace halvex
