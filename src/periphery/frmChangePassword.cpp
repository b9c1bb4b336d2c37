#include "periphery/frmChangePassword.h"

#include "periphery/Password.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace halvex {

frmChangePassword::frmChangePassword(Password& password, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_password(password), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmChangePassword"));
    setWindowTitle(QStringLiteral(" Change Password"));
    auto* layout = new QGridLayout(this);
    const char* names[] = {"txtCurrentPassword", "txtNewPassword", "txtReEnterPassword"};
    const QString labels[] = {QStringLiteral("Current Password:"), QStringLiteral("New Password:"),
                              QStringLiteral("Re-enter NewPassword:")};
    QLineEdit** boxes[] = {&txtCurrentPassword, &txtNewPassword, &txtReEnterPassword};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(names[i]));
        box->setEchoMode(QLineEdit::Password);
        // Typed characters show as "*" (42); the style's own echo character is a dot.
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        box->installEventFilter(this);
        *boxes[i] = box;
        layout->addWidget(new QLabel(labels[i], this), i, 0);
        layout->addWidget(box, i, 1);
    }
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(cmdOK, &QPushButton::clicked, this, &frmChangePassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        done(QDialog::Rejected);
        Q_EMIT cancelled();
    });
    m_password.reload(m_prompter);
}

bool frmChangePassword::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void frmChangePassword::cmdOK_Click()
{
    auto refuse = [this](const QString& text, QLineEdit* box) {
        m_prompter.message(text);
        box->setFocus();
        box->selectAll();
    };
    if (txtCurrentPassword->text() != m_password.stored())
        return refuse(QStringLiteral("Current Password is not correct"), txtCurrentPassword);
    if (txtNewPassword->text() != txtReEnterPassword->text())
        return refuse(QStringLiteral("Password must be the same in both boxes"), txtNewPassword);
    if (txtNewPassword->text().isEmpty())
        return refuse(QStringLiteral("Password can not be blank"), txtNewPassword);
    try {
        m_password.write(txtNewPassword->text());
    } catch (const Failure& f) {
        m_prompter.message(f.description());
        return;
    }
    done(QDialog::Accepted);
    Q_EMIT passwordChanged();
}

} // namespace halvex
