#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>

class QTextBrowser;

namespace halvex {

inline const QString kHelpFileName = QStringLiteral("Halvex.html");

// The operator's help: the program folder's help document when one is installed there, else the
// one built into the program.
class frmHelp final : public QDialog
{
    Q_OBJECT
public:
    explicit frmHelp(const ProgramFolder& folder, QWidget* parent = nullptr);

    QTextBrowser* browser = nullptr;
};

} // namespace halvex
