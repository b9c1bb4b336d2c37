#include "race/frmHandTimes.h"

#include "platform/Prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace halvex {

frmHandTimes::frmHandTimes(Prompter& prompter, const QString& pair,
                           const std::array<QString, 2>& racers, QWidget* parent)
    : QDialog(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmHandTimes"));
    setWindowTitle(QStringLiteral("Enter by Hand"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("RT")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("ET")), 0, 2);
    const QString lanes[2] = {QStringLiteral("Left: "), QStringLiteral("Right: ")};
    for (size_t i = 0; i < 2; ++i) {
        const QString index = QStringLiteral("(%1)").arg(i);
        txtReactionTime[i] = new QLineEdit;
        txtReactionTime[i]->setObjectName(QStringLiteral("txtReactionTime") + index);
        txtElapsedTime[i] = new QLineEdit;
        txtElapsedTime[i]->setObjectName(QStringLiteral("txtElapsedTime") + index);
        const int row = int(i) + 1;
        grid->addWidget(
            new QLabel(lanes[i] + (racers[i].isEmpty() ? QStringLiteral("-") : racers[i])), row, 0);
        grid->addWidget(txtReactionTime[i], row, 1);
        grid->addWidget(txtElapsedTime[i], row, 2);
        txtReactionTime[i]->setEnabled(!racers[i].isEmpty());
        txtElapsedTime[i]->setEnabled(!racers[i].isEmpty());
    }
    cmdOk = new QPushButton(QStringLiteral("OK"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(pair));
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmHandTimes::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmHandTimes::ok()
{
    // Judges write times with a point whatever the computer's language.
    const QLocale c = QLocale::c();
    HandTimes times;
    for (size_t i = 0; i < 2; ++i) {
        if (!txtReactionTime[i]->isEnabled())
            continue;
        bool number = false;
        const float rt = c.toFloat(txtReactionTime[i]->text().trimmed(), &number);
        if (!number || !std::isfinite(rt)) {
            m_prompter.message(QStringLiteral("Type each lane's reaction time as a number."),
                               QStringLiteral("Event"), Buttons::Ok, Icon::Warning);
            return;
        }
        const QString etText = txtElapsedTime[i]->text().trimmed();
        const float et = etText.isEmpty() ? 0.0f : c.toFloat(etText, &number);
        if (!number || !std::isfinite(et) || et < 0) {
            m_prompter.message(QStringLiteral("Type each lane's elapsed time as a number: 0 or "
                                              "blank for a lane that did not finish."),
                               QStringLiteral("Event"), Buttons::Ok, Icon::Warning);
            return;
        }
        times.reactionTimes[i] = rt;
        times.elapsedTimes[i] = et;
    }
    m_times = times;
    accept();
}

} // namespace halvex
