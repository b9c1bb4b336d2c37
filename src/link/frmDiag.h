#pragma once

#include "link/DiagLamps.h"
#include "link/ModCommand.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QTimer;

namespace halvex {

class Prompter;

inline const QColor kLampBlocked(0, 255, 0);
inline const QColor kLampClear(255, 0, 0);

// "Diagnostic": polls the unit's sensors twenty times a second and shows, for each sensor of each
// lane, a lamp that is green while a car blocks it and red while it is clear; runs the tree's
// light test. Loading it (the constructor) starts the poll from the current settings.
class frmDiag final : public QDialog
{
    Q_OBJECT
public:
    frmDiag(ModCommand& command, Prompter& prompter, const DragSettings& settings,
            QWidget* parent = nullptr);

    // Starts a poll, as a tick of tmrDiag does.
    void tmrDiag_Timer();

    std::array<QLabel*, 9> lblSensorText{};
    std::array<QLabel*, 8> lblLeftSensors{};
    std::array<QLabel*, 8> lblRightSensors{};
    QPushButton* cmdTestTree = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* tmrDiag = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void pollAnswered(const ModCommand::DiagRead& read);
    void cmdTestTree_Click();
    void cmdReset_Click();
    void paintLamps(const DiagLampStates& states);
    // Stops the poll and tells the operator once why.
    void stopPolling(const QString& why);

    ModCommand& m_command;
    Prompter& m_prompter;
    QList<DiagRow> m_rows;
    // A poll is under way (its reply awaited, or its message on screen), and a tick came meanwhile.
    bool m_polling = false;
    bool m_tickPending = false;
    // A malformed reply has been reported; said again only after a good one.
    bool m_malformedShown = false;
};

} // namespace halvex
