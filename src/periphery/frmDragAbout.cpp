#include "periphery/frmDragAbout.h"

#include "platform/Prompter.h"
#include "reports/TimeSlip.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvex {

frmDragAbout::frmDragAbout(QString& programTitle, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDragAbout"));
    setWindowTitle(QStringLiteral(" About ") + kAppTitle);
    programTitle = programTitleText();

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* inner = new QVBoxLayout(frame);
    lblVersion = new QLabel(programTitle, frame);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont f = lblVersion->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    lblVersion->setFont(f);
    inner->addWidget(lblVersion);
    auto* line = new QFrame(frame);
    line->setFrameShape(QFrame::HLine);
    inner->addWidget(line);
    inner->addWidget(new QLabel(QStringLiteral("Race control for slot-car drag racing"), frame));
    inner->addWidget(new QLabel(QStringLiteral("Vantora"), frame));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace halvex
