#pragma once

#include "station/ServerAddress.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace halvex {

// Settings, Event Server: where the event server is, the user this station logs in as, the
// station's name and what it does. An empty host takes the station off the server.
class frmEventServer final : public QDialog
{
    Q_OBJECT
public:
    explicit frmEventServer(const ServerAddress& address, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmEventServer)
    ~frmEventServer() override;

    // The address as the controls give it.
    ServerAddress address() const;

    QLineEdit* txtHost = nullptr;
    QSpinBox* txtPort = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtUser = nullptr;
    QLineEdit* txtStation = nullptr;
    QComboBox* cmbRole = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    ServerAddress m_address;
};

} // namespace halvex
