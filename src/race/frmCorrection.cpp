#include "race/frmCorrection.h"

#include "platform/Prompter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvex {

frmCorrection::frmCorrection(Prompter& prompter, const QString& title, const QString& pair,
                             const std::vector<std::pair<qint64, QString>>& racers, QWidget* parent)
    : QDialog(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmCorrection"));
    setWindowTitle(title);
    // Owned by the window also when a correction names nobody and the box is not laid out.
    cmbRacer = new QComboBox(this);
    cmbRacer->setObjectName(QStringLiteral("cmbRacer"));
    for (const auto& [id, name] : racers)
        cmbRacer->addItem(name, id);
    txtReason = new QLineEdit;
    txtReason->setObjectName(QStringLiteral("txtReason"));
    txtReason->setMinimumWidth(280);
    cmdOk = new QPushButton(QStringLiteral("OK"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Pair:"), new QLabel(pair));
    if (!racers.empty())
        form->addRow(QStringLiteral("Racer:"), cmbRacer);
    else
        cmbRacer->hide();
    form->addRow(QStringLiteral("Reason:"), txtReason);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmCorrection::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

qint64 frmCorrection::racer() const
{
    return cmbRacer->currentData().toLongLong();
}

QString frmCorrection::reason() const
{
    return txtReason->text().trimmed();
}

void frmCorrection::ok()
{
    // The event keeps every correction with its reason: none is taken without one.
    if (reason().isEmpty()) {
        m_prompter.message(QStringLiteral("Give the reason for the correction."),
                           QStringLiteral("Event"), Buttons::Ok, Icon::Warning);
        return;
    }
    accept();
}

} // namespace halvex
