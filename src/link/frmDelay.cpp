#include "link/frmDelay.h"

#include "link/StartDelay.h"
#include "platform/Random.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace halvex {

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    Q_EMIT clicked();
}

frmDelay::frmDelay(Random& random, int randomStartMin, int randomStartMaxIndex, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDelay"));
    setWindowTitle(QStringLiteral("Start Delay"));
    setModal(true);

    Label1 = new ClickableLabel(QStringLiteral("Get Ready"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"), 100, QFont::Bold);
    Label1->setFont(font);
    Label1->setAutoFillBackground(true);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);

    tmrDelay = new QTimer(this);
    tmrDelay->setObjectName(QStringLiteral("tmrDelay"));
    tmrDelay->setInterval(1000);
    connect(tmrDelay, &QTimer::timeout, this, &frmDelay::tmrDelay_Timer);
    connect(Label1, &ClickableLabel::clicked, this, &frmDelay::Label1_Click);

    m_ticks = 0;
    random.reseed();
    m_target = startDelayTarget(random, randomStartMin, randomStartMaxIndex);
    tmrDelay->start();
}

void frmDelay::tmrDelay_Timer()
{
    if (m_ticks >= m_target) {
        tmrDelay->stop();
        accept();
        return;
    }
    ++m_ticks;
}

void frmDelay::closeEvent(QCloseEvent* event)
{
    if (tmrDelay->isActive())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmDelay::abandon()
{
    tmrDelay->stop();
    QDialog::done(Rejected);
}

void frmDelay::Label1_Click()
{
    tmrDelay->stop();
    accept();
}

} // namespace halvex
