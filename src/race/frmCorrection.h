#pragma once

#include <QDialog>

#include <utility>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace halvex {

class Prompter;

// A correction's reason, and for a scratch or an override the racer it names. OK with an empty
// reason is refused and the window stays open.
class frmCorrection final : public QDialog
{
    Q_OBJECT
public:
    // racers: the pair's racers with their entry keys; empty when the correction names nobody.
    frmCorrection(Prompter& prompter, const QString& title, const QString& pair,
                  const std::vector<std::pair<qint64, QString>>& racers, QWidget* parent = nullptr);

    qint64 racer() const;
    QString reason() const;

    QComboBox* cmbRacer = nullptr;
    QLineEdit* txtReason = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void ok();

    Prompter& m_prompter;
};

} // namespace halvex
