#include "periphery/frmSplashPrint.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace halvex {

frmSplashPrint::frmSplashPrint(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplashPrint"));
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Panel);
    Frame1->setFrameShadow(QFrame::Raised);
    auto* inner = new QVBoxLayout(Frame1);
    auto* picture = new QLabel(Frame1);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    inner->addWidget(picture);
    auto* text = new QLabel(QStringLiteral("Printing..."), Frame1);
    text->setAlignment(Qt::AlignCenter);
    inner->addWidget(text);
    // Clicks on the picture and the text count as clicks on the frame.
    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(picture),
                       static_cast<QWidget*>(text)})
        w->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Frame1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);
}

void frmSplashPrint::showEvent(QShowEvent* event)
{
    Timer1->start();
    QDialog::showEvent(event);
}

void frmSplashPrint::keyPressEvent(QKeyEvent*)
{
    accept();
}

bool frmSplashPrint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace halvex
