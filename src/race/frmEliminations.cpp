#include "race/frmEliminations.h"

#include "event/RoundControl.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "reports/BracketExport.h"
#include "reports/BracketPrint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvex {

frmEliminations::frmEliminations(RoundControl& control, Prompter& prompter, PrintSurface& printer,
                                 QWidget* parent)
    : RoundsWindow(control, prompter, printer, Stage::Eliminations, parent)
{
    setObjectName(QStringLiteral("frmEliminations"));
    setWindowTitle(QStringLiteral("Eliminations"));
    fraSeeding = new QGroupBox(QStringLiteral("Seeding"));
    fraSeeding->setObjectName(QStringLiteral("fraSeeding"));
    grdSeeding = new QTableWidget(0, 3);
    grdSeeding->setObjectName(QStringLiteral("grdSeeding"));
    grdSeeding->setHorizontalHeaderLabels(
        {QStringLiteral("Seed"), QStringLiteral("Racer"), QStringLiteral("Car Number")});
    grdSeeding->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSeeding->setSelectionMode(QAbstractItemView::NoSelection);
    grdSeeding->horizontalHeader()->setStretchLastSection(true);
    grdSeeding->verticalHeader()->hide();
    cmdStartLadder = new QPushButton(QStringLiteral("&Start Ladder"));
    cmdStartLadder->setObjectName(QStringLiteral("cmdStartLadder"));
    auto* seeding = new QVBoxLayout(fraSeeding);
    seeding->addWidget(grdSeeding);
    seeding->addWidget(cmdStartLadder, 0, Qt::AlignLeft);
    lblWinner = new QLabel;
    lblWinner->setObjectName(QStringLiteral("lblWinner"));
    QFont big = lblWinner->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    lblWinner->setFont(big);
    chkSwapLanes = new QCheckBox(QStringLiteral("Swap Lanes"));
    chkSwapLanes->setObjectName(QStringLiteral("chkSwapLanes"));
    cmdUndo = new QPushButton(QStringLiteral("Undo"));
    cmdUndo->setObjectName(QStringLiteral("cmdUndo"));
    cmdOverride = new QPushButton(QStringLiteral("Override"));
    cmdOverride->setObjectName(QStringLiteral("cmdOverride"));

    const auto button = [](const char* name, const QString& text) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdPrintBracket = button("cmdPrintBracket", QStringLiteral("Print &Bracket"));
    cmdExportBracket = button("cmdExportBracket", QStringLiteral("Export Bracket..."));
    cmdPrintResults = button("cmdPrintResults", QStringLiteral("Print Res&ults"));
    cmdExportResults = button("cmdExportResults", QStringLiteral("Export Results..."));
    int at = 1;
    for (QPushButton* b : {cmdPrintBracket, cmdExportBracket, cmdPrintResults, cmdExportResults})
        m_bottom->insertWidget(at++, b);

    m_layout->insertWidget(1, fraSeeding);
    m_layout->insertWidget(2, lblWinner);
    // After Next Pair and its spacing, then the corrections Rerun and Scratch.
    m_actions->insertWidget(1, chkSwapLanes);
    m_actions->insertWidget(5, cmdUndo);
    m_actions->insertWidget(6, cmdOverride);
    resize(900, 600);

    connect(cmdStartLadder, &QPushButton::clicked, this, &frmEliminations::startLadder);
    connect(cmdUndo, &QPushButton::clicked, this, [this] { correct(CorrectionKind::Undo); });
    connect(cmdOverride, &QPushButton::clicked, this,
            [this] { correct(CorrectionKind::Override); });
    connect(cmdPrintBracket, &QPushButton::clicked, this, [this] {
        act([this] { printBracket(m_printer, m_control.rounds().bracket(className())); });
    });
    connect(cmdPrintResults, &QPushButton::clicked, this, [this] {
        act([this] {
            printClassResults(m_printer, m_control.openEvent().name(), className(),
                              m_control.rounds().results(className()));
        });
    });
    connect(cmdExportBracket, &QPushButton::clicked, this, [this] {
        exportSheet(QStringLiteral("Bracket"), [this](const QString& path, ExportFormat format) {
            exportBracket(path, format, m_control.rounds().bracket(className()));
        });
    });
    connect(cmdExportResults, &QPushButton::clicked, this, [this] {
        exportSheet(QStringLiteral("Results"), [this](const QString& path, ExportFormat format) {
            exportClassResults(path, format, m_control.rounds().results(className()));
        });
    });
    redraw();
}

void frmEliminations::exportSheet(const QString& what,
                                  const std::function<void(const QString&, ExportFormat)>& write)
{
    const QString proposed = QFileInfo(m_control.path()).absolutePath() + u'/' +
                             m_control.openEvent().name() + u' ' + className() + u' ' + what;
    QString fileType = exportFilter(ExportFormat::Workbook);
    const QString name = m_prompter.saveFileName(QStringLiteral("Export ") + what, proposed,
                                                 exportFilters(), &fileType);
    if (name.isEmpty())
        return;
    const ExportFormat format = exportFormatFor(name, fileType);
    act([&] { write(withExportSuffix(name, format), format); });
}

std::vector<PairRow> frmEliminations::rows()
{
    return ladderRows(m_control.rounds(), className());
}

bool frmEliminations::swapLanes() const
{
    return chkSwapLanes->isChecked();
}

void frmEliminations::showOwnParts()
{
    EventRounds& rounds = m_control.rounds();
    const QString shown = className();
    const bool started = rounds.ladderStarted(shown);
    fraSeeding->setVisible(!started);
    const std::vector<EntryId> seeds = started ? std::vector<EntryId>{} : rounds.seeding(shown);
    const std::vector<Entry> entries = rounds.entriesOf(shown);
    std::vector<QStringList> cells;
    cells.reserve(seeds.size());
    for (size_t i = 0; i < seeds.size(); ++i) {
        const Entry* e = rounds.entry(entries, seeds[i]);
        cells.push_back(
            {QString::number(i + 1), e ? e->racer : QString(), e ? e->carNumber : QString()});
    }
    fillTable(grdSeeding, cells);
    // The final is the last pair of the ladder.
    const bool won = !m_rows.empty() && m_rows.back().decided && !m_rows.back().winner.isEmpty();
    lblWinner->setText(won ? QStringLiteral("Class winner: ") + m_rows.back().winner : QString());
}

void frmEliminations::startLadder()
{
    const QString shown = className();
    if (m_prompter.message(QStringLiteral("Start the ladder of %1? Its qualifying is then over: "
                                          "no round can be drawn for the class any more.")
                               .arg(shown),
                           QStringLiteral("Event"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    act([&] { m_control.rounds().startLadder(shown); });
}

} // namespace halvex
