#pragma once

#include "race/RoundsWindow.h"
#include "reports/GridExport.h"

#include <functional>

class QCheckBox;
class QGroupBox;

namespace halvex {

// Mode, Eliminations: a class's ladder, from the seeding it starts with to the class winner, its
// pairs called to the lanes (the better seed on the left unless the lanes are swapped) and
// corrected.
class frmEliminations final : public RoundsWindow
{
    Q_OBJECT
public:
    frmEliminations(RoundControl& control, Prompter& prompter, PrintSurface& printer,
                    QWidget* parent = nullptr);

    QGroupBox* fraSeeding = nullptr;
    QTableWidget* grdSeeding = nullptr;
    QPushButton* cmdStartLadder = nullptr;
    QCheckBox* chkSwapLanes = nullptr;
    QPushButton* cmdUndo = nullptr;
    QPushButton* cmdOverride = nullptr;
    QLabel* lblWinner = nullptr;
    QPushButton* cmdPrintBracket = nullptr;
    QPushButton* cmdExportBracket = nullptr;
    QPushButton* cmdPrintResults = nullptr;
    QPushButton* cmdExportResults = nullptr;

private:
    // The class's bracket or results as a spreadsheet file the operator names.
    void exportSheet(const QString& what,
                     const std::function<void(const QString&, ExportFormat)>& write);
    std::vector<PairRow> rows() override;
    void showOwnParts() override;
    bool swapLanes() const override;
    void startLadder();
};

} // namespace halvex
