#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace halvex {

class Password;
class Prompter;

// A new password, given the current one twice over: the new one typed twice.
class frmChangePassword final : public QDialog
{
    Q_OBJECT
public:
    frmChangePassword(Password& password, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* txtCurrentPassword = nullptr;
    QLineEdit* txtNewPassword = nullptr;
    QLineEdit* txtReEnterPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

Q_SIGNALS:
    // The new password is in the file: the settings open.
    void passwordChanged();
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdOK_Click();

    Password& m_password;
    Prompter& m_prompter;
};

} // namespace halvex
