#include "periphery/frmDragLoginSetup.h"

#include "periphery/Password.h"
#include "platform/Prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace halvex {

frmDragLoginSetup::frmDragLoginSetup(Password& password, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_password(password), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmDragLoginSetup"));
    setWindowTitle(QStringLiteral(" Setup Login"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    // Typed characters show as "*" (42); the style's own echo character is a dot.
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdChangePassword = new QPushButton(QStringLiteral("Change &Password"), this);
    cmdChangePassword->setObjectName(QStringLiteral("cmdChangePassword"));
    cmdChangePassword->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdChangePassword);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Password:"), this), 0, 0);
    layout->addWidget(txtPassword, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);

    connect(cmdOK, &QPushButton::clicked, this, &frmDragLoginSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        done(QDialog::Rejected);
        Q_EMIT cancelled();
    });
    connect(cmdChangePassword, &QPushButton::clicked, this, [this] {
        done(QDialog::Rejected);
        Q_EMIT changePasswordChosen();
    });
    m_password.reload(m_prompter);
}

void frmDragLoginSetup::keyPressEvent(QKeyEvent* event)
{
    // Change Password is the window's cancel button: Esc chooses it.
    if (event->key() == Qt::Key_Escape) {
        cmdChangePassword->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmDragLoginSetup::reject()
{
    // The close box leaves as Cancel does.
    cmdCancel->click();
}

void frmDragLoginSetup::cmdOK_Click()
{
    if (txtPassword->text() != m_password.stored()) {
        m_prompter.message(
            QStringLiteral("Invalid Password, Password is case sensitive try again!"),
            QStringLiteral("Login"));
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    done(QDialog::Accepted);
    Q_EMIT loggedIn();
}

} // namespace halvex
