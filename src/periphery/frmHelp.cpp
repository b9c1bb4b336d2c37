#include "periphery/frmHelp.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The help document is compiled into a static library, whose resources are registered only when
// asked for by name.
static void initHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace halvex {

frmHelp::frmHelp(const ProgramFolder& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Halvex 3000 Help"));
    resize(760, 640);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("txtHelp"));
    browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser);

    initHelpResource();
    const QString installed = folder.shippedPath(kHelpFileName);
    browser->setSource(QFileInfo::exists(installed)
                           ? QUrl::fromLocalFile(installed)
                           : QUrl(QStringLiteral("qrc:/help/Halvex.html")));
}

} // namespace halvex
