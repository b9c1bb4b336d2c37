#include "settings/frmDragSettings.h"

#include "data/Numbers.h"
#include "data/Settings.h"
#include "platform/Prompter.h"
#include "platform/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace halvex {

namespace {

QString numberText(float value)
{
    return QString::number(value, 'g', 7);
}

void setPosition(QComboBox* box, int position)
{
    // A hand-edited position past the list shows no selection.
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
}

} // namespace

frmDragSettings::frmDragSettings(Services& services, SettingsAcceptance::Parts parts,
                                 QWidget* parent)
    : QDialog(parent), m_services(services), m_acceptance(parts), m_settings(parts.settings)
{
    setObjectName(QStringLiteral("frmDragSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    buildControls();
    load();
}

void frmDragSettings::buildControls()
{
    auto named = [](QWidget* w, const char* name, const QString& tip = {}) {
        w->setObjectName(QLatin1String(name));
        if (!tip.isEmpty())
            w->setToolTip(tip);
        return w;
    };
    auto edit = [&](const char* name, const QString& tip) {
        return static_cast<QLineEdit*>(named(new QLineEdit(this), name, tip));
    };
    auto list = [&](const char* name, const QString& tip, int from, int to, bool editable) {
        auto* box = static_cast<QComboBox*>(named(new QComboBox(this), name, tip));
        box->setEditable(editable);
        box->setInsertPolicy(QComboBox::NoInsert);
        if (editable)
            box->setCompleter(nullptr);
        for (int i = from; i <= to; ++i)
            box->addItem(QString::number(i));
        return box;
    };
    auto option = [&](const char* name, const QString& caption, const QString& tip) {
        return static_cast<QRadioButton*>(named(new QRadioButton(caption, this), name, tip));
    };
    auto check = [&](const char* name, const QString& caption, const QString& tip) {
        return static_cast<QCheckBox*>(named(new QCheckBox(caption, this), name, tip));
    };

    TabStrip1 = static_cast<QTabBar*>(named(new QTabBar(this), "TabStrip1"));
    const char* tabs[] = {
        "Track",       "Sensors",  "Pro-Tree", "Staging", "Random Tree Start Delay",
        "Led Display", "Coin Box", "Print"};
    const char* frames[] = {
        "Track",       "Sensors",  "Pro-Tree", "Staging", "RandomTree Start Delay",
        "Led Display", "Coin Box", "Printing"};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    std::array<QGridLayout*, 9> grid{};
    for (int i = 1; i <= 8; ++i) {
        TabStrip1->addTab(QString::fromLatin1(tabs[i - 1]));
        Frame1[i] = new QGroupBox(QString::fromLatin1(frames[i - 1]), this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1(%1)").arg(i));
        grid[i] = new QGridLayout(Frame1[i]);
        layout->addWidget(Frame1[i], 1);
    }

    txtEnterTrackName =
        edit("txtEnterTrackName",
             QStringLiteral("Enter your track name here,  will be printed on race slips"));
    fraUnits = static_cast<QGroupBox*>(
        named(new QGroupBox(QStringLiteral("Select Unit of Measure:"), this), "fraUnits"));
    optMetric = option("optMetric", QStringLiteral("Metric"),
                       QStringLiteral("Displays speed in KPH (Kilometers Per Hour)"));
    optImperial = option("optImperial", QStringLiteral("Imperial"),
                         QStringLiteral("Displays speed in  MPH (miles per hour)"));
    auto* units = new QHBoxLayout(fraUnits);
    units->addWidget(optMetric);
    units->addWidget(optImperial);
    txtTrackLength =
        edit("txtTrackLength", QStringLiteral("Distance from startline sensor to last sensor"));
    lblTrackLength = static_cast<QLabel*>(named(new QLabel(this), "lblTrackLength"));
    txtSpeedTrap = edit("txtSpeedTrap",
                        QStringLiteral("Enter exact distance between speed and finish sensor"));
    lblSpeedTrap = static_cast<QLabel*>(named(new QLabel(this), "lblSpeedTrap"));
    txtSpeedMultiplier =
        edit("txtSpeedMultiplier", QStringLiteral("Enter a number to multipy the actual speed"));
    cmbProTreeCommPort = list("cmbProTreeCommPort", QStringLiteral("Usually 1 or 2"), 1, 4, false);
    QGridLayout* g = grid[1];
    g->addWidget(new QLabel(QStringLiteral("Track Name"), this), 0, 0);
    g->addWidget(txtEnterTrackName, 0, 1);
    g->addWidget(fraUnits, 1, 0, 1, 2);
    g->addWidget(lblTrackLength, 2, 0);
    g->addWidget(txtTrackLength, 2, 1);
    g->addWidget(lblSpeedTrap, 3, 0);
    g->addWidget(txtSpeedTrap, 3, 1);
    g->addWidget(new QLabel(QStringLiteral("Speed Multiplier"), this), 4, 0);
    g->addWidget(txtSpeedMultiplier, 4, 1);
    g->addWidget(new QLabel(QStringLiteral("Comm Port"), this), 5, 0);
    g->addWidget(cmbProTreeCommPort, 5, 1);

    cmbNoOfSensors = list("cmbNoOfSensors",
                          QStringLiteral("Number of Sensors between Stage Sensor and Speed Trap "
                                         "Sensor"),
                          0, -1, false);
    const QString sensorTips[4] = {
        {},
        QStringLiteral("Distance from Start-Line Sensor to first Intermediate Sensor"),
        QStringLiteral("Distance from Start-Line Sensor to Second Intermediate Sensor"),
        QStringLiteral("Distance from Start-Line Sensor to third Intermediate Sensor")};
    g = grid[2];
    g->addWidget(new QLabel(QStringLiteral("Number of Sensors"), this), 0, 0);
    g->addWidget(cmbNoOfSensors, 0, 1);
    for (int i = 1; i <= 3; ++i) {
        txtInterSensor[i] = new QLineEdit(this);
        txtInterSensor[i]->setObjectName(QStringLiteral("txtInterSensor(%1)").arg(i));
        txtInterSensor[i]->setToolTip(sensorTips[i]);
        txtInterSensor[i]->installEventFilter(this);
        g->addWidget(new QLabel(QStringLiteral("Sensor No %1").arg(i), this), i, 0);
        g->addWidget(txtInterSensor[i], i, 1);
    }
    chkInvertSignal = check("chkInvertSignal", QStringLiteral("Invert Sensor Signal"),
                            QStringLiteral("Normally  unchecked"));
    g->addWidget(chkInvertSignal, 4, 0, 1, 2);

    txtProTreeCoundown = edit("txtProTreeCoundown",
                              QStringLiteral("Enter number of seconds for countdown from 0.1 to "
                                             "0.6, normally .4"));
    auto* yellow = new QLabel(QStringLiteral("Yellow On time"), this);
    yellow->setToolTip(QStringLiteral("Normally .400"));
    grid[3]->addWidget(yellow, 0, 0);
    grid[3]->addWidget(txtProTreeCoundown, 0, 1);

    optPrestage = option("optPrestage", QStringLiteral("Pre-Stage/Stage"),
                         QStringLiteral("Works just like in full 1:1 scale"));
    optPreStageStart = option("optPreStageStart", QStringLiteral("Pre-Stage/Start"),
                              QStringLiteral("Car covers first sensor only for staging"));
    grid[4]->addWidget(optPrestage, 0, 0);
    grid[4]->addWidget(optPreStageStart, 1, 0);

    cmbRandomStart =
        list("cmbRandomStart",
             QStringLiteral("After start is clicked tree will come down after this minimum time"),
             0, -1, true);
    cmbRandomEnd =
        list("cmbRandomEnd",
             QStringLiteral("After Start is clicked tree will come down before this maximum time"),
             0, -1, true);
    g = grid[5];
    g->addWidget(new QLabel(QStringLiteral("Between"), this), 0, 0);
    g->addWidget(cmbRandomStart, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Seconds"), this), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("and"), this), 1, 0);
    g->addWidget(cmbRandomEnd, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Seconds"), this), 1, 2);

    chkLedDisplayInstalled =
        check("chkLedDisplayInstalled", QStringLiteral("Installed"),
              QStringLiteral("Check if you have a Pro-Lite display installed"));
    cmbLedDisplayCommPort =
        list("cmbLedDisplayCommPort", QStringLiteral("Large LED Displays (Pro-Lite)"), 1, 4, false);
    cmbLedDisplayCommPort->hide();
    grid[6]->addWidget(chkLedDisplayInstalled, 0, 0, 1, 2);
    grid[6]->addWidget(new QLabel(QStringLiteral("Comm Port"), this), 1, 0);
    grid[6]->addWidget(cmbLedDisplayCommPort, 1, 1);

    chkCoinBoxInstalled = check("chkCoinBoxInstalled", QStringLiteral("Installed"),
                                QStringLiteral("For commercial use with Coin Box"));
    cmbCreditsPerCoin =
        list("cmbCreditsPerCoin", QStringLiteral("Number of runs per coin"), 1, 5, false);
    cmbCreditsPerCoin->hide();
    auto* perCoin = new QLabel(QStringLiteral("Credits per Coin"), this);
    perCoin->setToolTip(QStringLiteral("How many races per coin"));
    grid[7]->addWidget(chkCoinBoxInstalled, 0, 0, 1, 2);
    grid[7]->addWidget(perCoin, 1, 0);
    grid[7]->addWidget(cmbCreditsPerCoin, 1, 1);

    cmbNoOfCopies =
        list("cmbNoOfCopies", QStringLiteral("Number of copies after each race"), 0, -1, false);
    optLargeFont = option("optLargeFont", QStringLiteral("Large Fonts, 8 1/2 x 11\" pg"),
                          QStringLiteral("Large Print for 8 1/2\" x 11\" page"));
    optSmallFont = option("optSmallFont", QStringLiteral("Small Fonts, Receipt Printer"),
                          QStringLiteral("Small fonts"));
    grid[8]->addWidget(new QLabel(QStringLiteral("Number of Copies"), this), 0, 0);
    grid[8]->addWidget(cmbNoOfCopies, 0, 1);
    grid[8]->addWidget(optLargeFont, 1, 0, 1, 2);
    grid[8]->addWidget(optSmallFont, 2, 0, 1, 2);
    for (int i = 1; i <= 8; ++i)
        grid[i]->setRowStretch(grid[i]->rowCount(), 1);

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    layout->addLayout(buttons);

    // Keys and the mouse wheel change the tab as well as a click does.
    connect(TabStrip1, &QTabBar::currentChanged, this,
            [this](int index) { TabStrip1_Click(index + 1); });
    connect(chkCoinBoxInstalled, &QCheckBox::toggled, cmbCreditsPerCoin, &QWidget::setVisible);
    connect(chkLedDisplayInstalled, &QCheckBox::toggled, cmbLedDisplayCommPort,
            &QWidget::setVisible);
    connect(cmbNoOfSensors, &QComboBox::currentIndexChanged, this,
            &frmDragSettings::cmbNoOfSensors_Click);
    for (QRadioButton* b : {optMetric, optImperial})
        connect(b, &QRadioButton::toggled, this, &frmDragSettings::optUnits_Click);
    for (QRadioButton* b : {optPrestage, optPreStageStart})
        connect(b, &QRadioButton::toggled, this, &frmDragSettings::optStaging_Click);
    connect(cmbRandomStart, &QComboBox::currentTextChanged, this, &frmDragSettings::RandomStart);
    connect(cmbRandomStart, &QComboBox::activated, this, &frmDragSettings::RandomStart);
    connect(cmdOk, &QPushButton::clicked, this, &frmDragSettings::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDragSettings::helpRequested);
}

void frmDragSettings::load()
{
    for (QComboBox* box : {cmbRandomStart, cmbRandomEnd})
        for (int i = 0; i <= 9; ++i)
            box->addItem(QString::number(i));
    for (int i = 1; i <= 3; ++i)
        cmbNoOfSensors->addItem(QString::number(i));
    for (int i = 1; i <= 5; ++i)
        cmbNoOfCopies->addItem(QString::number(i));

    for (const QString& failure : m_settings.read(m_services.folder.path(kSettingsFileName)))
        m_services.prompter.message(failure);
    const DragSettings s = m_settings.record();

    // Each control set here runs its handler at once, also when the value is the one shown.
    txtProTreeCoundown->setText(numberText(s.ProTreeCountdown));
    setPosition(cmbProTreeCommPort, s.ProTreeCommPortIndex);
    txtEnterTrackName->setText(s.TrackName);
    txtSpeedTrap->setText(numberText(s.SpeedTrapDistance));
    txtTrackLength->setText(s.TrackLength);
    for (int i = 1; i <= std::clamp<int>(s.NumberOfSensors, 0, 3); ++i)
        txtInterSensor[i]->setText(s.InterSensorDistance[i]);
    setPosition(cmbNoOfSensors, s.NumberOfSensors - 1);
    cmbNoOfSensors_Click();
    txtSpeedMultiplier->setText(numberText(s.SpeedMultiplier));
    chkCoinBoxInstalled->setChecked(s.CoinBoxInstalled == 1);
    cmbCreditsPerCoin->setVisible(chkCoinBoxInstalled->isChecked());
    setPosition(cmbCreditsPerCoin, s.CreditsPerCoinIndex);
    chkLedDisplayInstalled->setChecked(s.LedDisplayInstalled == 1);
    cmbLedDisplayCommPort->setVisible(chkLedDisplayInstalled->isChecked());
    setPosition(cmbLedDisplayCommPort, s.LedDisplayCommPortIndex);
    setPosition(cmbRandomStart, s.RandomStartMin);
    RandomStart();
    setPosition(cmbRandomEnd, s.RandomStartMaxIndex);
    setPosition(cmbNoOfCopies, s.CopiesIndex);
    chkInvertSignal->setChecked(s.InvertSignal == 1);
    (s.Metric ? optMetric : optImperial)->setChecked(true);
    optUnits_Click();
    (s.LargeFont ? optLargeFont : optSmallFont)->setChecked(true);
    (s.PreStageStage ? optPrestage : optPreStageStart)->setChecked(true);
    optStaging_Click();

    for (int i = 2; i <= 8; ++i)
        Frame1[i]->hide();
    m_tabShown = 1;
    TabStrip1->setCurrentIndex(0);
}

void frmDragSettings::TabStrip1_Click(int tab)
{
    if (tab == m_tabShown || tab < 1 || tab > 8)
        return;
    Frame1[tab]->show();
    Frame1[m_tabShown]->hide();
    m_tabShown = tab;
}

void frmDragSettings::cmbNoOfSensors_Click()
{
    DragSettings r = m_settings.record();
    r.NumberOfSensors = static_cast<qint16>(cmbNoOfSensors->currentText().toInt());
    m_settings.replace(r);
    for (int i = 1; i <= 3; ++i)
        txtInterSensor[i]->setEnabled(i <= r.NumberOfSensors);
}

void frmDragSettings::optUnits_Click()
{
    if (!optMetric->isChecked() && !optImperial->isChecked())
        return;
    DragSettings r = m_settings.record();
    r.Metric = optMetric->isChecked();
    m_settings.replace(r);
    lblSpeedTrap->setText(r.Metric ? QStringLiteral("Centimeters between Speed Trap sensors")
                                   : QStringLiteral("Inches between Speed Trap sensors"));
    lblTrackLength->setText(r.Metric ? QStringLiteral("Track Length, Meters")
                                     : QStringLiteral("Track Length, Feet"));
}

void frmDragSettings::optStaging_Click()
{
    if (!optPrestage->isChecked() && !optPreStageStart->isChecked())
        return;
    DragSettings r = m_settings.record();
    r.PreStageStage = optPrestage->isChecked();
    m_settings.replace(r);
}

void frmDragSettings::RandomStart()
{
    if (m_rebuildingMaximum)
        return;
    // A minimum that is no whole number from 0 to 9 changes nothing while it is typed; OK
    // refuses it.
    const int minimum = randomStartMinimum(cmbRandomStart->currentText());
    if (minimum < 0)
        return;
    DragSettings r = m_settings.record();
    r.RandomStartMin = static_cast<qint16>(minimum);
    m_settings.replace(r);

    const int before = static_cast<int>(leadingNumber(cmbRandomEnd->currentText()));
    m_rebuildingMaximum = true;
    cmbRandomEnd->clear();
    for (int i = minimum + 1; i <= 10; ++i)
        cmbRandomEnd->addItem(QString::number(i));
    cmbRandomEnd->setCurrentIndex(before > minimum ? before - minimum - 1 : 0);
    if (before > minimum && before > 10)
        cmbRandomEnd->setEditText(QString::number(before));
    m_rebuildingMaximum = false;
}

SettingsEntry frmDragSettings::entry() const
{
    SettingsEntry e;
    e.countdown = txtProTreeCoundown->text();
    e.portIndex = cmbProTreeCommPort->currentIndex();
    e.portText = cmbProTreeCommPort->currentText();
    e.trackName = txtEnterTrackName->text();
    e.speedTrap = txtSpeedTrap->text();
    e.trackLength = txtTrackLength->text();
    e.multiplier = txtSpeedMultiplier->text();
    for (int i = 1; i <= 3; ++i)
        e.sensors[i] = txtInterSensor[i]->text();
    e.sensorsIndex = cmbNoOfSensors->currentIndex();
    e.invertSignal = chkInvertSignal->isChecked();
    e.coinBox = chkCoinBoxInstalled->isChecked();
    e.creditsIndex = cmbCreditsPerCoin->currentIndex();
    e.ledDisplay = chkLedDisplayInstalled->isChecked();
    e.ledPortIndex = cmbLedDisplayCommPort->currentIndex();
    e.ledPortText = cmbLedDisplayCommPort->currentText();
    e.randomMinText = cmbRandomStart->currentText();
    e.randomMaxText = cmbRandomEnd->currentText();
    // A typed maximum that the list does not hold is position -1.
    e.randomMaxIndex = cmbRandomEnd->findText(cmbRandomEnd->currentText());
    e.copiesIndex = cmbNoOfCopies->currentIndex();
    e.metric = optMetric->isChecked();
    e.largeFont = optLargeFont->isChecked();
    return e;
}

void frmDragSettings::cmdOk_Click()
{
    const SettingsOutcome outcome = m_acceptance.accept(entry());
    if (outcome.accepted) {
        accept();
        return;
    }
    QWidget* focus = nullptr;
    switch (outcome.focus) {
    case SettingsField::None:
        return;
    case SettingsField::Countdown:
        focus = txtProTreeCoundown;
        break;
    case SettingsField::Port:
        focus = cmbProTreeCommPort;
        break;
    case SettingsField::TrackName:
        focus = txtEnterTrackName;
        break;
    case SettingsField::SpeedTrap:
        focus = txtSpeedTrap;
        break;
    case SettingsField::Multiplier:
        focus = txtSpeedMultiplier;
        break;
    case SettingsField::RandomStart:
        focus = cmbRandomStart;
        break;
    case SettingsField::RandomEnd:
        focus = cmbRandomEnd;
        break;
    }
    // The field's tab comes forward, so the operator sees the box that needs the change.
    for (int i = 1; i <= 8; ++i) {
        if (Frame1[i]->isAncestorOf(focus)) {
            TabStrip1->setCurrentIndex(i - 1);
        }
    }
    focus->setFocus();
    if (!outcome.selectAll)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(focus))
        edit->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(focus); box && box->lineEdit())
        box->lineEdit()->selectAll();
}

bool frmDragSettings::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 1; i <= 3; ++i) {
        if (watched == txtInterSensor[i] &&
            (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonDblClick))
            QTimer::singleShot(0, txtInterSensor[i], &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace halvex
