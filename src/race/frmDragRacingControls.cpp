// The controls and menus of the main race window, as designed.
#include "race/frmDragRacing.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

namespace halvex {

namespace {

// `names`, when given, is the box's list from the start: its drop-down list and line edit are made
// over it once rather than over a list of the box's own that it replaces.
QComboBox* comboBox(QWidget* parent, const QString& name, const QString& tip, bool editable,
                    QStringListModel* names = nullptr)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    if (names)
        box->setModel(names);
    // The layout sizes the box: a size of its own, worked out as it becomes editable, would only
    // be thrown away.
    box->setAttribute(Qt::WA_Resized);
    box->setEditable(editable);
    // Typing a name that is not in the list is allowed, but does not add it to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    // A typed name stays as typed: completing it from the list would race a different name.
    if (editable)
        box->setCompleter(nullptr);
    box->setMinimumWidth(200);
    return box;
}

// A lane box of a master list, which may hold a million names: it is as wide as the lane gives it
// rather than as its longest name, so that no name is measured at start-up, and both lanes show
// one list model.
void makeListBox(QComboBox* box)
{
    // With the icon's room counted, the box does not look through every entry for an icon.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    if (auto* list = qobject_cast<QListView*>(box->view()))
        list->setUniformItemSizes(true);
}

QLabel* label(QWidget* parent, const QString& name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

void frmDragRacing::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    cmdRace = new QPushButton(QStringLiteral("Start &Race"), central);
    cmdRace->setObjectName(QStringLiteral("cmdRace"));
    cmdRace->setToolTip(QStringLiteral("Start Race"));
    cmdRace->setMinimumHeight(60);
    QFont raceFont = cmdRace->font();
    raceFont.setPointSize(16);
    raceFont.setBold(true);
    cmdRace->setFont(raceFont);

    fraClass = new QGroupBox(QStringLiteral("Class:"), central);
    fraClass->setObjectName(QStringLiteral("fraClass"));
    cmbClass = comboBox(fraClass, QStringLiteral("cmbClass"),
                        QStringLiteral("Select Class ie. Stock, modified"), true);
    (new QVBoxLayout(fraClass))->addWidget(cmbClass);

    fraTree = new QGroupBox(QStringLiteral("Tree:"), central);
    fraTree->setObjectName(QStringLiteral("fraTree"));
    cmbTree = comboBox(fraTree, QStringLiteral("cmbTree"), QStringLiteral("Select Tree"), false);
    (new QVBoxLayout(fraTree))->addWidget(cmbTree);

    fraRacers = new QGroupBox(central);
    fraRacers->setObjectName(QStringLiteral("fraRacers"));
    lblName = label(fraRacers, QStringLiteral("lblName"), QStringLiteral("Name"));
    lblCar = label(fraRacers, QStringLiteral("lblCar"), QStringLiteral("Car"));
    lblDialin = label(fraRacers, QStringLiteral("lblDialin"), QStringLiteral("Dial-In"));

    const QString racerTips[2] = {QStringLiteral("Select racer in left lane"),
                                  QStringLiteral("Select racer in right lane")};
    const QString carTips[2] = {
        QStringLiteral("Select car in left lane,you can add more cars in Database"),
        QStringLiteral("Select car in right lane, you can add more cars in Database")};
    fraLeft = new QGroupBox(QStringLiteral("Left Lane:"), fraRacers);
    fraLeft->setObjectName(QStringLiteral("fraLeft"));
    fraRight = new QGroupBox(QStringLiteral("Right Lane:"), fraRacers);
    fraRight->setObjectName(QStringLiteral("fraRight"));
    lblLeftLane = label(fraRacers, QStringLiteral("lblLeftLane"), QStringLiteral("Left Lane:"));
    lblRightLane = label(fraRacers, QStringLiteral("lblRightLane"), QStringLiteral("Right Lane:"));

    auto* headings = new QHBoxLayout;
    headings->addSpacing(12);
    headings->addWidget(lblName, 2);
    headings->addWidget(lblCar, 2);
    headings->addWidget(lblDialin, 1);
    auto* lanes = new QVBoxLayout(fraRacers);
    lanes->addLayout(headings);
    // Each lane's frame carries its caption; the row labels repeat it and stay out of sight.
    lblLeftLane->hide();
    lblRightLane->hide();
    QGroupBox* laneFrames[2] = {fraLeft, fraRight};
    auto* racerNames = new QStringListModel(this);
    auto* carNames = new QStringListModel(this);
    for (int i = 0; i < 2; ++i) {
        const QString index = QStringLiteral("(%1)").arg(i);
        cmbRacers[i] = comboBox(laneFrames[i], QStringLiteral("cmbRacers") + index, racerTips[i],
                                true, racerNames);
        cmbCars[i] =
            comboBox(laneFrames[i], QStringLiteral("cmbCars") + index, carTips[i], true, carNames);
        makeListBox(cmbRacers[i]);
        makeListBox(cmbCars[i]);
        txtDialin[i] = new QLineEdit(laneFrames[i]);
        txtDialin[i]->setObjectName(QStringLiteral("txtDialin") + index);
        txtDialin[i]->setToolTip(QStringLiteral("Enter Dial-In or Index"));
        txtDialin[i]->installEventFilter(this);
        auto* row = new QHBoxLayout(laneFrames[i]);
        row->addWidget(cmbRacers[i], 2);
        row->addWidget(cmbCars[i], 2);
        row->addWidget(txtDialin[i], 1);
        lanes->addWidget(laneFrames[i]);
    }

    cmdSwapLanes = new QPushButton(QStringLiteral("S&wap Lanes"), central);
    cmdSwapLanes->setObjectName(QStringLiteral("cmdSwapLanes"));
    cmdSwapLanes->setToolTip(QStringLiteral("Swap Lanes"));
    cmdCoin = new QPushButton(QStringLiteral("Coin Box"), central);
    cmdCoin->setObjectName(QStringLiteral("cmdCoin"));
    lblCredits = label(central, QStringLiteral("lblCredits"), QStringLiteral("0 Credits"));
    lblCredits->setAlignment(Qt::AlignCenter);
    lblCredits->setAutoFillBackground(true);
    lblDemo = label(central, QStringLiteral("lblDemo"), QStringLiteral("Demo Mode"));
    QFont demoFont = lblDemo->font();
    demoFont.setPointSize(14);
    demoFont.setBold(true);
    lblDemo->setFont(demoFont);
    lblDemo->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));

    imgDragster = label(central, QStringLiteral("imgDragster"), QString());
    imgVantora = label(central, QStringLiteral("imgVantora"), QStringLiteral("Halvex 3000"));
    QFont brand = imgVantora->font();
    brand.setPointSize(22);
    brand.setBold(true);
    brand.setItalic(true);
    imgVantora->setFont(brand);

    auto* top = new QHBoxLayout;
    top->addWidget(fraClass);
    top->addWidget(fraTree);
    top->addStretch();
    top->addWidget(imgVantora);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdSwapLanes);
    bottom->addWidget(lblDemo);
    bottom->addStretch();
    bottom->addWidget(cmdCoin);
    bottom->addWidget(lblCredits);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(fraRacers);
    layout->addLayout(bottom);
    layout->addWidget(cmdRace);
    layout->addWidget(imgDragster);

    connect(cmbTree, &QComboBox::activated, this, [this] { cmbTree_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(cmbRacers[i], &QComboBox::activated, this, [this, i] { cmbRacers_Click(i); });
        for (QObject* watched :
             {static_cast<QObject*>(cmbRacers[i]), static_cast<QObject*>(cmbRacers[i]->view()),
              static_cast<QObject*>(cmbRacers[i]->view()->viewport())})
            watched->installEventFilter(this);
        connect(txtDialin[i], &QLineEdit::textChanged, this, [this, i] { txtDialin_Change(i); });
    }
    connect(cmdSwapLanes, &QPushButton::clicked, this, [this] { cmdSwapLanes_Click(); });
    connect(cmdRace, &QPushButton::clicked, this, [this] { cmdRace_Click(); });
    connect(cmdCoin, &QPushButton::clicked, this, [this] { cmdCoin_Click(); });
}

void frmDragRacing::buildMenus()
{
    auto action = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };

    QMenu* mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuFileNewEvent = action(mnuFile, "mnuFileNewEvent", QStringLiteral("&New Event"));
    mnuFileLoadEvent = action(mnuFile, "mnuFileLoadEvent", QStringLiteral("&Load Event"));
    mnuSaveEvent = action(mnuFile, "mnuSaveEvent", QStringLiteral("Save Event"));
    mnuSaveEvent->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuExportEvent = action(mnuFile, "mnuExportEvent", QStringLiteral("Export Event"));
    mnuPublishResults = action(mnuFile, "mnuPublishResults", QStringLiteral("Publish Results..."));
    mnuPublishAfterEveryPass =
        action(mnuFile, "mnuPublishAfterEveryPass", QStringLiteral("Publish After Every Pass"));
    mnuPublishAfterEveryPass->setCheckable(true);
    mnuFile->addSeparator();
    mnuPutEventOnServer =
        action(mnuFile, "mnuPutEventOnServer", QStringLiteral("Put Event on Server"));
    mnuTakeControl = action(mnuFile, "mnuTakeControl", QStringLiteral("Take Control"));
    mnuFile->addSeparator();
    mnuExit = action(mnuFile, "mnuExit", QStringLiteral("E&xit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* mnuMode = menu("mnuMode", QStringLiteral("&Mode"));
    mnuQualifications = action(mnuMode, "mnuQualifications", QStringLiteral("&Qualifications"));
    mnuEliminations = action(mnuMode, "mnuEliminations", QStringLiteral("&Eliminations"));
    mnuDemo = action(mnuMode, "mnuDemo", QStringLiteral("&Demo"));
    mnuDemo->setCheckable(true);

    QMenu* mnuView = menu("mnuView", QStringLiteral("&View"));
    mnuLoggedRaces = action(mnuView, "mnuLoggedRaces", QStringLiteral("Logged Races"));
    mnuViewScoreboard = action(mnuView, "mnuViewScoreboard", QStringLiteral("Scoreboard"));

    QMenu* mnuDataBase = menu("mnuDataBase", QStringLiteral("&DataBase"));
    mnuDataBaseClasses = action(mnuDataBase, "mnuDataBaseClasses", QStringLiteral("&Classes..."));
    mnuRacers = action(mnuDataBase, "mnuRacers", QStringLiteral("&Racers... "));
    mnuDataBaseCars = action(mnuDataBase, "mnuDataBaseCars", QStringLiteral("&Cars..."));

    QMenu* mnuPreference = menu("mnuPreference", QStringLiteral("&Preferences"));
    mnuPreferencenesPrintSlip =
        action(mnuPreference, "mnuPreferencenesPrintSlip", QStringLiteral("Auto Print Slip"));
    mnuPreferencenesPrintSlip->setCheckable(true);

    QMenu* mnuSettings = menu("mnuSettings", QStringLiteral("&Settings"));
    mnuSettingsSettings = action(mnuSettings, "mnuSettingsSettings", QStringLiteral("&Settings"));
    mnuEventServer = action(mnuSettings, "mnuEventServer", QStringLiteral("&Event Server..."));

    QMenu* mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    mnuHelpIndex = action(mnuHelp, "mnuHelpIndex", QStringLiteral("Help"));
    mnuHelpIndex->setShortcut(QKeySequence(Qt::Key_F1));
    mnuDiagnostic = action(mnuHelp, "mnuDiagnostic", QStringLiteral("Diagnostic"));
    mnuVantoraWebSite = action(mnuHelp, "mnuVantoraWebSite", QStringLiteral("Vantora web site"));
    mnuHelpAbout = action(mnuHelp, "mnuHelpAbout", QStringLiteral("&About"));

    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuDemo, &QAction::triggered, this, [this] { mnuDemo_Click(); });
    connect(mnuDataBaseClasses, &QAction::triggered, this,
            [this] { mnuDataBase_Click(MasterListKind::Classes); });
    connect(mnuRacers, &QAction::triggered, this,
            [this] { mnuDataBase_Click(MasterListKind::Racers); });
    connect(mnuDataBaseCars, &QAction::triggered, this,
            [this] { mnuDataBase_Click(MasterListKind::Cars); });
    connect(mnuSettingsSettings, &QAction::triggered, this, [this] { SaveWindowState(); });
}

} // namespace halvex
