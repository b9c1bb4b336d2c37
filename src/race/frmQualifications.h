#pragma once

#include "race/RoundsWindow.h"

class QListWidget;

namespace halvex {

class Random;

// Mode, Qualifications: a class's entries drawn into qualifying rounds, the pairs called to the
// lanes, and the qualifying order with the bump spot.
class frmQualifications final : public RoundsWindow
{
    Q_OBJECT
public:
    frmQualifications(RoundControl& control, Prompter& prompter, PrintSurface& printer,
                      Random& random, QWidget* parent = nullptr);

    QListWidget* lstEntries = nullptr;
    QPushButton* cmdDrawRound = nullptr;
    QTableWidget* grdOrder = nullptr;

private:
    std::vector<PairRow> rows() override;
    void showOwnParts() override;
    void drawRound();

    Random& m_random;
    QString m_entriesOf; // the class whose entries the list holds, with the operator's checks
};

} // namespace halvex
