#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace halvex {

struct ModDragRacing;
class ModCommand;
class Prompter;
class RaceHost;

// The race just run, both lanes side by side, with red lights, breakouts and the winner in their
// colours. Loading it computes and decides the race; closing it, whichever way, commits the race
// to the log exactly once.
class frmDragStats final : public QWidget
{
    Q_OBJECT
public:
    frmDragStats(RaceHost& host, ModDragRacing& globals, ModCommand& command, Prompter& prompter,
                 QWidget* parent = nullptr);
    ~frmDragStats() override;

    bool committed() const { return m_committed; }

    QLabel* lblNameLeft = nullptr;
    QLabel* lblNameRight = nullptr;
    QLabel* lblDragRacingClass = nullptr;
    QLabel* lblCarLeft = nullptr;
    QLabel* lblCarRight = nullptr;
    QLabel* lblLeftRT = nullptr;
    QLabel* lblRT = nullptr;
    QLabel* lblRightRT = nullptr;
    QLabel* lblLeft = nullptr;
    QLabel* lblCenter = nullptr;
    QLabel* lblRight = nullptr;
    QLabel* lblLeftET = nullptr;
    QLabel* lblET = nullptr;
    QLabel* lblRightET = nullptr;
    QLabel* lblLeftMPH = nullptr;
    QLabel* lblMPH = nullptr;
    QLabel* lblRightMPH = nullptr;
    QLabel* lblLeftWM = nullptr;
    QLabel* lblWinMargin = nullptr;
    QLabel* lblRightWM = nullptr;
    QLabel* lblLeftDialin = nullptr;
    QLabel* lblRightDialin = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void load();
    void cmdOk_Click();
    void unload();

    RaceHost& m_host;
    ModDragRacing& m_g;
    ModCommand& m_command;
    Prompter& m_prompter;
    bool m_committed = false;
};

// Background colour of a label from a colour value with red in the low byte.
void setBackColour(QWidget* widget, qint32 colour);
qint32 backColour(const QWidget* widget);

inline constexpr qint32 kColourLightGrey = 224 | (224 << 8) | (224 << 16);

} // namespace halvex
