#pragma once

#include "reports/GridModel.h"
#include "reports/GridSort.h"

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QTableView;

namespace halvex {

struct Services;
class GridTableModel;
class RaceLog;
class Settings;

// The races of this run in a grid, one row per lane, and on request each racer's best run per
// class. Sorts on a double click on a title, moves a column dragged by its title, saves the
// grid shown as a worksheet, a workbook or comma-separated values, and clears the log.
class frmGridData final : public QDialog
{
    Q_OBJECT
public:
    frmGridData(Services& services, const Settings& settings, RaceLog& log,
                QWidget* parent = nullptr);

    GridModel gridL;
    GridModel gridQ;
    QTableView* GridL = nullptr;
    QTableView* GridQ = nullptr;
    QPushButton* cmdTopQual = nullptr;
    QPushButton* cmdSort = nullptr;
    QPushButton* cmdClearData = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* Label1 = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintSelection = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;

    // The rows marked with the mouse for Print Selection.
    int printFirstRow = 0;
    int printLastRow = 0;
    const ColumnSort& columnSort() const { return m_columnSort; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Save: the grid shown, to a spreadsheet file the operator names.
    void mnuSave_Click();

private:
    void buildControls();
    void load();
    void showGrid(GridTableModel* model, QTableView* view);
    void FG_AutosizeCols(GridModel& grid, QTableView* view);
    void cmdTopQual_Click();
    void cmdSort_Click();
    void cmdClearData_Click();
    void printGrid(bool selection);
    bool gridMouse(QTableView* view, GridModel& grid, QEvent* event);

    Services& m_services;
    const Settings& m_settings;
    RaceLog& m_log;
    GridTableModel* m_modelL = nullptr;
    GridTableModel* m_modelQ = nullptr;
    ColumnSort m_columnSort;
    int m_dragColumn = -1; // the title cell pressed, while it is dragged
};

} // namespace halvex
