#include "link/frmDiag.h"

#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace halvex {

namespace {

const QString kLampTip = QStringLiteral("Turns Green when sensor is blocked");

QLabel* lamp(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setToolTip(kLampTip);
    l->setMinimumSize(40, 24);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, kLampClear);
    l->setPalette(pal);
    return l;
}

void setLamp(QLabel* label, bool blocked)
{
    const QColor& colour = blocked ? kLampBlocked : kLampClear;
    // Twenty polls a second: only a lamp that changes is repainted.
    if (label->palette().color(QPalette::Window) == colour)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colour);
    label->setPalette(pal);
}

} // namespace

frmDiag::frmDiag(ModCommand& command, Prompter& prompter, const DragSettings& settings,
                 QWidget* parent)
    : QDialog(parent), m_command(command), m_prompter(prompter), m_rows(diagRows(settings))
{
    setObjectName(QStringLiteral("frmDiag"));
    setWindowTitle(QStringLiteral("Diagnostic"));
    setModal(true);
    buildControls();

    tmrDiag = new QTimer(this);
    tmrDiag->setObjectName(QStringLiteral("tmrDiag"));
    tmrDiag->setInterval(50);
    tmrDiag->setTimerType(Qt::PreciseTimer);
    connect(tmrDiag, &QTimer::timeout, this, &frmDiag::tmrDiag_Timer);
    tmrDiag->start();

    if (m_command.demoMode()) {
        tmrDiag->stop();
        m_prompter.message(QStringLiteral("Diagnostic can not be preformed in Demo mode."),
                           QStringLiteral("Diagnostic"), Buttons::Ok, Icon::Information);
    }
    for (int r = 0; r < m_rows.size(); ++r) {
        lblLeftSensors.at(r)->show();
        lblSensorText.at(r)->show();
        lblRightSensors.at(r)->show();
        lblSensorText.at(r)->setText(m_rows.at(r).name);
    }
    const int twips = diagHeightTwips(diagSensorCount(settings.NumberOfSensors));
    resize(360, twips * logicalDpiY() / 1440);
}

void frmDiag::buildControls()
{
    auto* grid = new QGridLayout;
    for (int r = 0; r < int(lblSensorText.size()); ++r) {
        lblSensorText.at(r) = new QLabel(this);
        lblSensorText.at(r)->setObjectName(QStringLiteral("lblSensorText%1").arg(r));
        lblSensorText.at(r)->setAlignment(Qt::AlignCenter);
        lblSensorText.at(r)->hide();
        grid->addWidget(lblSensorText.at(r), r, 1);
    }
    for (int r = 0; r < int(lblLeftSensors.size()); ++r) {
        lblLeftSensors.at(r) = lamp(this, QStringLiteral("lblLeftSensors%1").arg(r));
        lblRightSensors.at(r) = lamp(this, QStringLiteral("lblRightSensors%1").arg(r));
        lblLeftSensors.at(r)->hide();
        lblRightSensors.at(r)->hide();
        grid->addWidget(lblLeftSensors.at(r), r, 0);
        grid->addWidget(lblRightSensors.at(r), r, 2);
    }
    cmdTestTree = new QPushButton(QStringLiteral("&TestTree"), this);
    cmdTestTree->setToolTip(QStringLiteral("Lights on tree will turn on/off in sequence"));
    cmdReset = new QPushButton(QStringLiteral("&Reset"), this);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdTestTree->setObjectName(QStringLiteral("cmdTestTree"));
    cmdReset->setObjectName(QStringLiteral("cmdReset"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdTestTree, &QPushButton::clicked, this, &frmDiag::cmdTestTree_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmDiag::cmdReset_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTestTree);
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
}

void frmDiag::tmrDiag_Timer()
{
    // A tick during a poll (its reply awaited, or its message on screen) starts no poll of its
    // own: it is taken as soon as the poll ends, and ticks that pile up meanwhile count once. So
    // polls never nest, and a reply that is late now and then costs no poll.
    if (m_polling) {
        m_tickPending = true;
        return;
    }
    m_tickPending = false;
    try {
        m_command.send("T");
    } catch (const Failure& f) {
        stopPolling(f.description());
        return;
    }
    // The reply is read without a nested loop: the operator's clicks and keys reach the window
    // while the unit answers, twenty times a second.
    m_polling = true;
    m_command.ReadDiagReplyLater(this, [this](const ModCommand::DiagRead& read) {
        pollAnswered(read);
        m_polling = false;
        if (m_tickPending && tmrDiag->isActive())
            tmrDiag_Timer();
    });
}

void frmDiag::pollAnswered(const ModCommand::DiagRead& read)
{
    // After a time-out the reader has shown its message; the lamps keep their colours.
    if (read.timedOut)
        return;
    const std::optional<DiagLampStates> states =
        read.reply ? diagLampStates(m_rows, *read.reply) : std::nullopt;
    if (!states) {
        if (!std::exchange(m_malformedShown, true))
            m_prompter.message(QStringLiteral("The timing unit's sensor reply was not understood. "
                                              "The lamps show the last reply understood."),
                               QStringLiteral("Diagnostic"), Buttons::Ok, Icon::Warning);
        return;
    }
    m_malformedShown = false;
    paintLamps(*states);
}

void frmDiag::paintLamps(const DiagLampStates& states)
{
    for (int r = 0; r < states.left.size(); ++r)
        setLamp(lblLeftSensors.at(r), states.left.at(r));
    for (int r = 0; r < states.right.size(); ++r)
        setLamp(lblRightSensors.at(r), states.right.at(r));
}

void frmDiag::stopPolling(const QString& why)
{
    tmrDiag->stop();
    m_prompter.message(why + QStringLiteral("\r\nThe sensors are no longer read; press Reset to "
                                            "read them again."),
                       QStringLiteral("Diagnostic"), Buttons::Ok, Icon::Warning);
}

void frmDiag::cmdTestTree_Click()
{
    if (m_command.demoMode()) {
        m_prompter.message(QStringLiteral("Tree-Test can not be preformed in Demo mode."),
                           QStringLiteral("Tree-Test"), Buttons::Ok, Icon::Information);
        return;
    }
    try {
        m_command.send("L");
    } catch (const Failure& f) {
        m_prompter.message(f.description(), QStringLiteral("Tree-Test"));
    }
}

void frmDiag::cmdReset_Click()
{
    for (int r = 0; r < m_rows.size(); ++r) {
        setLamp(lblLeftSensors.at(r), false);
        setLamp(lblRightSensors.at(r), false);
    }
    // A poll stopped by a failed write starts again; in demo mode nothing is polled.
    if (!m_command.demoMode() && !tmrDiag->isActive())
        tmrDiag->start();
}

void frmDiag::hideEvent(QHideEvent* event)
{
    // Closed, not minimised: the timer stops with the window.
    if (!event->spontaneous())
        tmrDiag->stop();
    QDialog::hideEvent(event);
}

} // namespace halvex
