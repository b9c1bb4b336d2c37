#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace halvex {

class Password;
class Prompter;

// The password asked before the settings open. Esc chooses Change Password.
class frmDragLoginSetup final : public QDialog
{
    Q_OBJECT
public:
    frmDragLoginSetup(Password& password, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdChangePassword = nullptr;

Q_SIGNALS:
    // The right password: the settings open.
    void loggedIn();
    void changePasswordChosen();
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void cmdOK_Click();

    Password& m_password;
    Prompter& m_prompter;
};

} // namespace halvex
