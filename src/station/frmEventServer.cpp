#include "station/frmEventServer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace halvex {

frmEventServer::frmEventServer(const ServerAddress& address, QWidget* parent)
    : QDialog(parent), m_address(address)
{
    setObjectName(QStringLiteral("frmEventServer"));
    setWindowTitle(QStringLiteral("Event Server"));
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    txtHost = named(new QLineEdit(address.host), "txtHost");
    txtPort = named(new QSpinBox, "txtPort");
    txtPort->setRange(1, 65535);
    txtPort->setValue(address.port);
    txtDatabase = named(new QLineEdit(address.database), "txtDatabase");
    txtUser = named(new QLineEdit(address.user), "txtUser");
    txtStation = named(new QLineEdit(address.station), "txtStation");
    txtStation->setMaxLength(100);
    cmbRole = named(new QComboBox, "cmbRole");
    cmbRole->addItems({QStringLiteral("Tower (runs the timing unit)"),
                       QStringLiteral("Registration"), QStringLiteral("Display")});
    cmbRole->setCurrentIndex(int(address.role));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Host (empty: no server)"), txtHost);
    form->addRow(QStringLiteral("&Port"), txtPort);
    form->addRow(QStringLiteral("&Database"), txtDatabase);
    form->addRow(QStringLiteral("&User"), txtUser);
    form->addRow(QStringLiteral("&Station name"), txtStation);
    form->addRow(QStringLiteral("&Role"), cmbRole);
    auto* note = new QLabel(QStringLiteral("The password is read from the file .pgpass in your "
                                           "home folder; the program never keeps it."));
    note->setWordWrap(true);
    cmdOk = named(new QPushButton(QStringLiteral("OK")), "cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel")), "cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addLayout(buttons);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmEventServer::~frmEventServer() = default;

ServerAddress frmEventServer::address() const
{
    ServerAddress a = m_address;
    a.host = txtHost->text().trimmed();
    a.port = txtPort->value();
    a.database = txtDatabase->text().trimmed();
    a.user = txtUser->text().trimmed();
    if (!txtStation->text().trimmed().isEmpty())
        a.station = txtStation->text().trimmed();
    a.role = StationRole(cmbRole->currentIndex());
    return a;
}

} // namespace halvex
