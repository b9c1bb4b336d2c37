#pragma once

#include "event/RoundRows.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace halvex {

class PrintSurface;
class Prompter;
class RoundControl;

// Shows the rows in the table, the columns sized once to their contents: sizing them with every
// cell made a redraw of a 32-pair round take a tenth of a second.
void fillTable(QTableWidget* table, const std::vector<QStringList>& rows);

// What the Qualifications and Eliminations windows share: the class picker, the round's pairs,
// Next Pair with who is on deck and in the hole, the corrections on a selected pair, Enter by
// Hand and the round sheet. Modeless: the operator races from the main window while it is open,
// and it redraws whenever the event changes.
class RoundsWindow : public QWidget
{
    Q_OBJECT
public:
    QComboBox* cmbClass = nullptr;
    QTableWidget* grdPairs = nullptr;
    QPushButton* cmdNextPair = nullptr;
    QLabel* lblOnDeck = nullptr;
    QLabel* lblInTheHole = nullptr;
    QPushButton* cmdRerun = nullptr;
    QPushButton* cmdScratch = nullptr;
    QPushButton* cmdEnterByHand = nullptr;
    QPushButton* cmdPrintRoundSheet = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    RoundsWindow(RoundControl& control, Prompter& prompter, PrintSurface& printer, Stage stage,
                 QWidget* parent);

    // The stage's pairs of the class shown.
    virtual std::vector<PairRow> rows() = 0;
    // Redraws the window's own parts for the class shown.
    virtual void showOwnParts() = 0;
    virtual bool swapLanes() const { return false; }

    QString className() const;
    // Runs an operator's action; a refusal of the event is told, and the window redraws.
    void act(const std::function<void()>& work);
    void tell(const QString& text);
    std::optional<PairRow> selectedPair() const;
    void correct(CorrectionKind kind);
    void redraw();

    RoundControl& m_control;
    Prompter& m_prompter;
    QVBoxLayout* m_layout = nullptr;  // the subclass's parts go above and below the pairs
    QHBoxLayout* m_actions = nullptr; // the correction buttons, ending with Enter by Hand
    QHBoxLayout* m_bottom = nullptr;  // the printouts, then Close
    std::vector<PairRow> m_rows;
    PrintSurface& m_printer;

private:
    void nextPair();
    void enterByHand();
    void printRoundSheet();

    Stage m_stage;
};

} // namespace halvex
