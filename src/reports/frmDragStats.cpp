#include "reports/frmDragStats.h"

#include "data/Numbers.h"
#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "race/ModDragRacing.h"
#include "race/RaceHost.h"
#include "race/ResultComputation.h"
#include "race/ResultDisplay.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace halvex {

void setBackColour(QWidget* widget, qint32 colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window,
                 QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

qint32 backColour(const QWidget* widget)
{
    const QColor c = widget->palette().color(QPalette::Window);
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

frmDragStats::frmDragStats(RaceHost& host, ModDragRacing& globals, ModCommand& command,
                           Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(host), m_g(globals), m_command(command),
      m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmDragStats"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    try {
        load();
    } catch (...) {
        // A race that cannot be computed must not leave Start Race disabled for good.
        m_host.setRaceEnabled(true);
        throw;
    }
}

frmDragStats::~frmDragStats()
{
    // Quitting the program with the window open commits the race all the same.
    unload();
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
}

void frmDragStats::load()
{
    m_host.setRaceEnabled(false);
    lblMPH->setText(m_g.Settings.Metric ? QStringLiteral("KPH") : QStringLiteral("MPH"));
    m_host.ProcessTimes();

    const int tree = m_host.treeIndex();
    const WinnerDecision d = decideWinner(tree, m_g.Log);
    if (d.redLightLeft)
        setBackColour(lblLeftRT, kColourRed);
    if (d.redLightRight)
        setBackColour(lblRightRT, kColourRed);
    if (d.breakoutLeft)
        setBackColour(lblLeftET, kColourYellow);
    if (d.breakoutRight)
        setBackColour(lblRightET, kColourYellow);
    if (d.winner != Lane::None) {
        const bool left = d.winner == Lane::Left;
        setBackColour(left ? lblNameLeft : lblNameRight, kColourGreen);
        setBackColour(left ? lblCarLeft : lblCarRight, kColourGreen);
        try {
            m_command.send(left ? "GL81" : "GR81");
        } catch (const Failure& f) {
            // The race stays on screen and is still committed; only the lamp failed.
            m_prompter.message(f.description());
        }
    }

    const RaceRecord& L = m_g.Log.LeftResult;
    const RaceRecord& R = m_g.Log.RightResult;
    if (tree == 2) {
        lblLeftDialin->setText(QStringLiteral("Dial-In ") + dialInText(L.DialIn));
        lblRightDialin->setText(QStringLiteral("Dial-In ") + dialInText(R.DialIn));
    } else if (isIndexTree(tree)) {
        lblLeftDialin->setText(QStringLiteral("Index ") + dialInText(L.DialIn));
        lblRightDialin->setText(QStringLiteral("Index ") + dialInText(R.DialIn));
    } else {
        lblLeftDialin->clear();
        lblRightDialin->clear();
    }
    setWindowTitle(QStringLiteral("Statistics - Race # ") + QString::number(L.RaceNumber));
}

void frmDragStats::cmdOk_Click()
{
    close();
    m_host.showMainWindow();
    try {
        m_command.send("O");
    } catch (const Failure& f) {
        m_prompter.message(f.description());
    }
}

void frmDragStats::closeEvent(QCloseEvent* event)
{
    unload();
    event->accept();
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

void frmDragStats::unload()
{
    if (m_committed)
        return;
    m_committed = true;
    m_host.setRaceEnabled(true);
    m_g.Log.RaceLogCount = static_cast<qint16>(m_g.Log.RaceLogCount + 2);
}

} // namespace halvex
