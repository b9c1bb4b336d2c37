#include "reports/frmGridData.h"

#include "data/RaceLog.h"
#include "data/Settings.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "reports/ExcelFileV2.h"
#include "reports/GridExport.h"
#include "reports/GridTableModel.h"
#include "reports/PrintGrid.h"
#include "reports/PrintSurface.h"
#include "reports/RaceDataGrid.h"

#include <QAction>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace halvex {

frmGridData::frmGridData(Services& services, const Settings& settings, RaceLog& log,
                         QWidget* parent)
    : QDialog(parent), m_services(services), m_settings(settings), m_log(log)
{
    setObjectName(QStringLiteral("frmGridData"));
    buildControls();
    load();
    // Races committed while the window is open join the logged races shown.
    connect(&m_log, &RaceLog::racesAdded, this, [this] {
        if (GridQ->isHidden())
            load();
    });
}

void frmGridData::buildControls()
{
    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    auto action = [file](const char* name, const QString& caption) {
        QAction* a = file->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mnuPrint = action("mnuPrint", QStringLiteral("Print Grid"));
    mnuPrintSelection = action("mnuPrintSelection", QStringLiteral("Print Selection"));
    mnuSave = action("mnuSave", QStringLiteral("Save"));
    file->addSeparator();
    mnuExit = action("mnuExit", QStringLiteral("E&xit"));

    m_modelL = new GridTableModel(gridL, this);
    m_modelQ = new GridTableModel(gridQ, this);
    auto view = [this](const char* name, GridTableModel* model) {
        auto* v = new QTableView(this);
        v->setObjectName(QLatin1String(name));
        v->setModel(model);
        v->horizontalHeader()->hide();
        v->verticalHeader()->hide();
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->viewport()->installEventFilter(this);
        v->viewport()->setMouseTracking(true);
        return v;
    };
    GridL = view("GridL", m_modelL);
    GridQ = view("GridQ", m_modelQ);
    GridQ->hide();

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdTopQual = button("cmdTopQual", QStringLiteral("&View Top Qualifiers"));
    cmdSort = button("cmdSort", QStringLiteral("Sort"));
    cmdSort->hide();
    cmdClearData = button("cmdClearData", QStringLiteral("&Clear Data"));
    cmdOK = button("cmdOK", QStringLiteral("&OK"));
    Label1 = new QLabel(QStringLiteral("To sort by a specific column in ascending order, double "
                                       "click on it's header. Double click again for descending "
                                       "order."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1, 1);
    buttons->addWidget(cmdTopQual);
    buttons->addWidget(cmdClearData);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(GridL, 1);
    layout->addWidget(GridQ, 1);
    layout->addLayout(buttons);
    resize(900, 500);

    connect(cmdTopQual, &QPushButton::clicked, this, &frmGridData::cmdTopQual_Click);
    connect(cmdSort, &QPushButton::clicked, this, &frmGridData::cmdSort_Click);
    connect(cmdClearData, &QPushButton::clicked, this, &frmGridData::cmdClearData_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(mnuExit, &QAction::triggered, this, &QDialog::accept);
    connect(mnuSave, &QAction::triggered, this, &frmGridData::mnuSave_Click);
    connect(mnuPrint, &QAction::triggered, this, [this] { printGrid(false); });
    connect(mnuPrintSelection, &QAction::triggered, this, [this] { printGrid(true); });
}

void frmGridData::load()
{
    for (QAction* a : {mnuPrint, mnuPrintSelection, mnuSave})
        a->setEnabled(true);
    setWindowTitle(QStringLiteral("Race Data - Logged Races"));
    RaceDataGrid::loadLoggedRaces(gridL, m_log, m_settings.record());
    showGrid(m_modelL, GridL);
}

void frmGridData::showGrid(GridTableModel* model, QTableView* view)
{
    model->refresh();
    FG_AutosizeCols(model->grid(), view);
}

void frmGridData::FG_AutosizeCols(GridModel& grid, QTableView* view)
{
    // Each column as wide as its widest text in its own font, and a "W" more; kept in twips.
    // Body cells mostly share the grid's font, so its metrics are made once.
    const double twipsPerPixel = 1440.0 / view->logicalDpiX();
    const QFontMetrics plain(view->font());
    for (int c = 0; c < grid.cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid.rows(); ++r) {
            const QString& text = grid.text(r, c);
            if (grid.font(r, c) == GridFont{}) {
                widest = std::max(widest, plain.horizontalAdvance(text));
                continue;
            }
            const QFont font = view->model()->index(r, c).data(Qt::FontRole).value<QFont>();
            widest = std::max(widest, QFontMetrics(font).horizontalAdvance(text));
        }
        const int pixels = widest + plain.horizontalAdvance(u'W');
        grid.setColWidth(c, int(pixels * twipsPerPixel));
        view->setColumnWidth(c, pixels);
    }
}

void frmGridData::cmdTopQual_Click()
{
    if (cmdTopQual->text() == QLatin1String("&View Top Qualifiers")) {
        cmdTopQual->setText(QStringLiteral("&View Logged Races"));
        GridL->hide();
        setWindowTitle(QStringLiteral("Race Data - Qualifiers"));
        RaceDataGrid::buildTopQualifiers(gridL, gridQ, m_settings.record());
        m_modelL->refresh();
        showGrid(m_modelQ, GridQ);
        GridQ->show();
        return;
    }
    cmdTopQual->setText(QStringLiteral("&View Top Qualifiers"));
    GridL->show();
    RaceDataGrid::restoreLoggingOrder(gridL);
    m_modelL->refresh();
    GridQ->hide();
    setWindowTitle(QStringLiteral("Race Data - Logged Races"));
}

void frmGridData::cmdSort_Click()
{
    const int et = RaceDataGrid::sensorColumns(m_settings.record()) + 7;
    FG_Sort(gridQ, {SortKey{2, false, true}, SortKey{et, false, false}});
    m_modelQ->refresh();
}

void frmGridData::cmdClearData_Click()
{
    if (m_services.prompter.message(QStringLiteral("Delete all Logged Races and Qualifiers?"),
                                    QStringLiteral("Delete Data"), Buttons::YesNo,
                                    Icon::Information) != Answer::Yes)
        return;
    gridL.setRows(1);
    gridL.setRow(0);
    RaceDataGrid::SetHeader(gridL, m_settings.record());
    m_log.clear();
    gridQ.setRows(1);
    m_modelL->refresh();
    m_modelQ->refresh();
    for (QAction* a : {mnuPrint, mnuPrintSelection, mnuSave})
        a->setEnabled(false);
}

void frmGridData::mnuSave_Click()
{
    const bool qualifiers = !GridQ->isHidden();
    const QString proposed =
        proposedExportName(m_services.folder, m_services.clock.now(), qualifiers);
    QString fileType = exportFilter(ExportFormat::Worksheet);
    const QString name = m_services.prompter.saveFileName(QStringLiteral("Save Race Data"),
                                                          proposed, exportFilters(), &fileType);
    if (name.isEmpty())
        return;
    const ExportFormat format = exportFormatFor(name, fileType);
    try {
        writeFileAtomically(
            withExportSuffix(name, format),
            exportGrid(qualifiers ? gridQ : gridL, format,
                       qualifiers ? QStringLiteral("Qualifiers") : QStringLiteral("Logged Races")));
        rememberExportFolder(name);
    } catch (const Failure& f) {
        m_services.prompter.message(f.description());
    }
}

void frmGridData::printGrid(bool selection)
{
    clsPrintGrid print;
    try {
        // Taking the printer's resolution already needs the printer: without one, this fails.
        print.Destination(&m_services.printer,
                          QPointF(1440.0 / logicalDpiX(), 1440.0 / logicalDpiY()));
        print.Source(GridQ->isHidden() ? &gridL : &gridQ);
        if (selection)
            print.setSelection(printFirstRow, printLastRow);
        print.PrintGrid();
    } catch (const Failure& f) {
        m_services.prompter.message(f.description());
    }
}

bool frmGridData::eventFilter(QObject* watched, QEvent* event)
{
    // The views report to here while they are still being built.
    if (GridL && watched == GridL->viewport() && gridMouse(GridL, gridL, event))
        return true;
    if (GridQ && watched == GridQ->viewport() && gridMouse(GridQ, gridQ, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool frmGridData::gridMouse(QTableView* view, GridModel& grid, QEvent* event)
{
    const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
    if (!mouse)
        return false;
    const QModelIndex at = view->indexAt(mouse->position().toPoint());
    const bool onTitles = at.isValid() && at.row() < grid.fixedRows();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragColumn = -1;
        if (onTitles)
            m_dragColumn = at.column();
        else if (at.isValid())
            printFirstRow = at.row();
        return onTitles;
    case QEvent::MouseButtonRelease:
        // A title dropped on another column of the logged races moves its column there.
        if (m_dragColumn >= 0 && view == GridL && at.isValid() && at.column() != m_dragColumn) {
            grid.moveColumn(m_dragColumn, at.column());
            showGrid(m_modelL, GridL);
        } else if (m_dragColumn < 0 && at.isValid()) {
            printLastRow = at.row();
        }
        m_dragColumn = -1;
        return false;
    case QEvent::MouseMove:
        if (view == GridL) {
            const Qt::CursorShape shape = onTitles ? Qt::CrossCursor : Qt::ArrowCursor;
            if (view->viewport()->cursor().shape() != shape)
                view->viewport()->setCursor(shape);
        }
        return false;
    case QEvent::MouseButtonDblClick:
        if (onTitles && view == GridL) {
            m_columnSort.DoColumnSort(grid, at.column());
            m_modelL->refresh();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace halvex
