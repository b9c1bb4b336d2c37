#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace halvex {

// The program's name, version and maker. Opening it composes the program title that the time
// slip prints at its top, kept in the text given for the rest of the run.
class frmDragAbout final : public QDialog
{
    Q_OBJECT
public:
    explicit frmDragAbout(QString& programTitle, QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace halvex
