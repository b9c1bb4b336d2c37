#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>

namespace halvex {

class Random;

// A label that reports a click, so "Get Ready" can end the wait.
class ClickableLabel final : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// "Get Ready": holds the racers for a random number of whole seconds before the tree comes down.
class frmDelay final : public QDialog
{
    Q_OBJECT
public:
    frmDelay(Random& random, int randomStartMin, int randomStartMaxIndex,
             QWidget* parent = nullptr);

    int target() const { return m_target; }
    // The race was given up while the racers were held (the program quits): the window closes.
    void abandon();

    ClickableLabel* Label1 = nullptr;
    QTimer* tmrDelay = nullptr;

protected:
    // Only the delay running out or a click on "Get Ready" ends the wait: Esc and the close
    // box would bring the tree down early.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

private:
    void tmrDelay_Timer();
    void Label1_Click();

    int m_ticks = 0;
    int m_target = 0;
};

} // namespace halvex
