#pragma once

#include <QDialog>

class QFrame;
class QTimer;

namespace halvex {

// The short notice after a printed slip. It closes itself after two seconds, or at once on a key
// or a click on its frame.
class frmSplashPrint final : public QDialog
{
    Q_OBJECT
public:
    explicit frmSplashPrint(QWidget* parent = nullptr);

    QFrame* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace halvex
