#include "reports/frmDragStats.h"

#include "race/Colours.h"
#include "race/LabelColour.h"
#include "race/RaceSession.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace halvex {

frmDragStats::frmDragStats(const RaceResult& result, RaceSession& session, SlipPrinter printSlip,
                           bool autoPrintSlip, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_result(result),
      m_printSlip(std::move(printSlip))
{
    setObjectName(QStringLiteral("frmDragStats"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    draw(result);
    cmdOk->setFocus();
    // However the race gets committed (this window closed, or the program quitting), the window
    // goes with it.
    connect(&m_session, &RaceSession::pendingChanged, this, [this](bool pending) {
        if (!pending) {
            m_raceOnScreen = false;
            close();
        }
    });
    if (autoPrintSlip && m_printSlip)
        m_printSlip(m_result);
}

frmDragStats::~frmDragStats()
{
    // Quitting the program with the window open commits the race all the same; a window whose
    // race is in the log already must not commit a later one.
    commitOnce();
}

void frmDragStats::buildControls()
{
    setWindowTitle(QStringLiteral("Statistics"));
    auto* grid = new QGridLayout(this);
    grid->setSpacing(4);

    auto make = [this](QLabel*& label, const char* name, const QString& text, const QString& tip,
                       int pointSize) {
        label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(tip);
        QFont f = label->font();
        f.setPointSize(pointSize);
        f.setBold(true);
        label->setFont(f);
        label->setMinimumWidth(220);
        setBackColour(label, kColourLightGrey);
    };
    const QString winnerTip = QStringLiteral("Winner displayed in Green");
    const QString rtTip = QStringLiteral("Perfect Reaction = 0.000, Red Lights displayed in Red");
    const QString etTip = QStringLiteral("Displayed in Yellow if Break Out occured");

    make(lblNameLeft, "lblNameLeft", QString(), winnerTip, 20);
    make(lblNameRight, "lblNameRight", QString(), winnerTip, 20);
    make(lblDragRacingClass, "lblDragRacingClass", QStringLiteral("Class:"), QString(), 16);
    make(lblCarLeft, "lblCarLeft", QString(), QStringLiteral("Car Left Lane"), 16);
    make(lblCarRight, "lblCarRight", QString(), QStringLiteral("Car Right Lane"), 16);
    make(lblLeftRT, "lblLeftRT", QString(), rtTip, 28);
    make(lblRT, "lblRT", QStringLiteral("Reaction Time"), QString(), 16);
    make(lblRightRT, "lblRightRT", QString(), rtTip, 28);
    make(lblLeft, "lblLeft", QString(), QStringLiteral("Intermediate Times Left Lane"), 48);
    make(lblCenter, "lblCenter", QString(), QString(), 48);
    make(lblRight, "lblRight", QString(), QStringLiteral("Intermediate Times Right Lane"), 48);
    make(lblLeftET, "lblLeftET", QString(), etTip, 28);
    make(lblET, "lblET", QStringLiteral("Elasped Time"), QString(), 16);
    make(lblRightET, "lblRightET", QString(), etTip, 28);
    make(lblLeftMPH, "lblLeftMPH", QString(), QStringLiteral("Miles per hourLeft Lane"), 28);
    make(lblMPH, "lblMPH", QStringLiteral("Miles per Hour"), QString(), 16);
    make(lblRightMPH, "lblRightMPH", QString(), QStringLiteral("Miles per hour Right Lane"), 28);
    make(lblLeftWM, "lblLeftWM", QString(), QStringLiteral("Win Margin Left Lane"), 28);
    make(lblWinMargin, "lblWinMargin", QStringLiteral("Finish Margin"), QString(), 16);
    make(lblRightWM, "lblRightWM", QString(), QStringLiteral("Win Margin Right Lane"), 28);
    make(lblLeftDialin, "lblLeftDialin", QString(), QStringLiteral("Dial-In Left Lane"), 16);
    make(lblRightDialin, "lblRightDialin", QString(), QStringLiteral("Dial-In Right Lane"), 16);

    cmdPrint = new QPushButton(QStringLiteral("&Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdOk = new QPushButton(QStringLiteral(" &OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    setFocusProxy(cmdOk);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdOk);

    grid->addWidget(lblNameLeft, 0, 0);
    grid->addWidget(lblDragRacingClass, 0, 1, 2, 1);
    grid->addWidget(lblNameRight, 0, 2);
    grid->addWidget(lblCarLeft, 1, 0);
    grid->addWidget(lblCarRight, 1, 2);
    grid->addWidget(lblLeftRT, 2, 0);
    grid->addWidget(lblRT, 2, 1);
    grid->addWidget(lblRightRT, 2, 2);
    grid->addWidget(lblLeft, 3, 0);
    grid->addWidget(lblCenter, 3, 1);
    grid->addWidget(lblRight, 3, 2);
    grid->addWidget(lblLeftET, 4, 0);
    grid->addWidget(lblET, 4, 1);
    grid->addWidget(lblRightET, 4, 2);
    grid->addWidget(lblLeftMPH, 5, 0);
    grid->addWidget(lblMPH, 5, 1);
    grid->addWidget(lblRightMPH, 5, 2);
    grid->addWidget(lblLeftWM, 6, 0);
    grid->addWidget(lblWinMargin, 6, 1);
    grid->addWidget(lblRightWM, 6, 2);
    grid->addWidget(lblLeftDialin, 7, 0);
    grid->addLayout(buttons, 7, 1);
    grid->addWidget(lblRightDialin, 7, 2);

    connect(cmdOk, &QPushButton::clicked, this, &frmDragStats::cmdOk_Click);
    connect(cmdPrint, &QPushButton::clicked, this, [this] {
        if (m_printSlip)
            m_printSlip(m_result);
    });
}

void frmDragStats::draw(const RaceResult& r)
{
    lblMPH->setText(r.speedHeading);
    lblDragRacingClass->setText(r.classHeading);
    QLabel* const names[2] = {lblNameLeft, lblNameRight};
    QLabel* const cars[2] = {lblCarLeft, lblCarRight};
    QLabel* const rts[2] = {lblLeftRT, lblRightRT};
    QLabel* const ets[2] = {lblLeftET, lblRightET};
    QLabel* const wms[2] = {lblLeftWM, lblRightWM};
    QLabel* const mphs[2] = {lblLeftMPH, lblRightMPH};
    QLabel* const points[2] = {lblLeft, lblRight};
    QLabel* const dialins[2] = {lblLeftDialin, lblRightDialin};
    for (int i = 0; i < 2; ++i) {
        const LaneDisplay& lane = r.lanes[i];
        names[i]->setText(lane.name);
        cars[i]->setText(lane.car);
        rts[i]->setText(lane.reactionTime);
        ets[i]->setText(lane.elapsedTime);
        // A margin of 0 or less leaves the label as designed.
        if (!lane.winMargin.isEmpty())
            wms[i]->setText(lane.winMargin);
        mphs[i]->setText(lane.speed);
        points[i]->setText(lane.timingPoints);
        dialins[i]->setText(lane.handicap);
        setBackColour(names[i], lane.nameColour);
        setBackColour(cars[i], lane.carColour);
        setBackColour(rts[i], lane.reactionTimeColour);
        setBackColour(ets[i], lane.elapsedTimeColour);
    }
    lblCenter->setText(r.sensorNames);
    if (r.timingFontSize > 0) {
        for (QLabel* label : {lblLeft, lblRight, lblCenter}) {
            QFont f = label->font();
            f.setPointSize(r.timingFontSize);
            label->setFont(f);
        }
    }
    setWindowTitle(r.caption);
}

void frmDragStats::cmdOk_Click()
{
    close();
    if (QWidget* main = parentWidget()) {
        main->show();
        main->activateWindow();
    }
    m_session.resetUnit();
}

void frmDragStats::closeEvent(QCloseEvent* event)
{
    commitOnce();
    event->accept();
}

void frmDragStats::commitOnce()
{
    if (!std::exchange(m_raceOnScreen, false))
        return;
    m_session.commit();
}

void frmDragStats::keyPressEvent(QKeyEvent* event)
{
    // OK is the default button: Enter answers the window wherever the focus is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        (button ? button : cmdOk)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace halvex
