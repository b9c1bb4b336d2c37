#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

namespace halvex {

class ProgramFolder;
class Random;
class SettingsStore;

// The tip of the day, picked at random from the tips file of the program folder. Its check box
// is the per-user start-up option, stored as soon as it is clicked.
class frmTip final : public QDialog
{
    Q_OBJECT
public:
    frmTip(SettingsStore& store, Random& random, QWidget* parent = nullptr);

    // The loading steps: false when the start-up option keeps the window away (nothing is shown
    // and nothing reported).
    bool load(const ProgramFolder& folder);
    bool LoadTips(const QString& path);
    void DisplayCurrentTip();

    QLabel* lblTipText = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void buildControls();
    void nextTip();

    SettingsStore& m_store;
    Random& m_random;
    QStringList m_tips;
    int m_current = 0;
};

} // namespace halvex
