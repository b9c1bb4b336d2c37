#include "periphery/frmBrowser.h"

#include <QAction>
#include <QComboBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace halvex {

frmBrowser::frmBrowser(const QString& makerAddress, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBrowser"));
    // The menu item's own words until a page is asked for.
    setWindowTitle(QStringLiteral("Vantora web site"));
    resize(800, 600);
    buildControls();

    StartingAddress = makerAddress;
    if (!StartingAddress.isEmpty()) {
        cboAddress->setEditText(StartingAddress);
        cboAddress->addItem(StartingAddress);
        timTimer->start();
        navigate(StartingAddress);
    }
}

void frmBrowser::buildControls()
{
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    for (const QString& key :
         {QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("Refresh"),
          QStringLiteral("Home"), QStringLiteral("Search"), QStringLiteral("Stop")}) {
        QAction* button = tbToolBar->addAction(key);
        button->setObjectName(key);
        connect(button, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }

    cboAddress = new QComboBox(this);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::InsertAtTop);
    // A choice from the list and Enter in the box alike.
    connect(cboAddress, &QComboBox::activated, this, &frmBrowser::cboAddress_Click);

    brwWebBrowser = new QWebEngineView(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    connect(brwWebBrowser, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
    connect(brwWebBrowser, &QWebEngineView::loadFinished, this, [this] {
        m_busy = false;
        showTitle();
    });
    connect(brwWebBrowser, &QWebEngineView::titleChanged, this, &frmBrowser::showTitle);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    // The component reports no status text of its own: the link under the mouse, else how far
    // the page has loaded.
    connect(brwWebBrowser, &QWebEngineView::loadProgress, this, [this](int percent) {
        StatusBar1->showMessage(percent < 100 ? QStringLiteral("Loading... %1%").arg(percent)
                                              : QStringLiteral("Done"));
    });
    connect(brwWebBrowser->page(), &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { StatusBar1->showMessage(url); });

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(200);
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);

    // The layout keeps the browser to the window's inner area as the window is resized.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 0, 3, 0);
    layout->setSpacing(2);
    layout->addWidget(tbToolBar);
    layout->addWidget(cboAddress);
    layout->addWidget(brwWebBrowser, 1);
    layout->addWidget(StatusBar1);
}

void frmBrowser::navigate(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        return;
    // Busy from the moment a page is asked for, so the caption says so at once rather than
    // after the engine's first report.
    m_busy = true;
    setWindowTitle(QStringLiteral("Working..."));
    brwWebBrowser->setUrl(url);
}

void frmBrowser::cboAddress_Click()
{
    timTimer->start();
    navigate(cboAddress->currentText());
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Stop")) {
        timTimer->stop();
        brwWebBrowser->stop();
        showTitle();
        return;
    }
    timTimer->start();
    if (key == QLatin1String("Back"))
        brwWebBrowser->back();
    else if (key == QLatin1String("Forward"))
        brwWebBrowser->forward();
    else if (key == QLatin1String("Refresh"))
        brwWebBrowser->reload();
    else if (key == QLatin1String("Home"))
        navigate(StartingAddress);
    else if (key == QLatin1String("Search"))
        navigate(kSearchPageAddress);
}

void frmBrowser::timTimer_Timer()
{
    if (m_busy) {
        setWindowTitle(QStringLiteral("Working..."));
        return;
    }
    timTimer->stop();
    showTitle();
}

void frmBrowser::showTitle()
{
    // Until a page has a title there is nothing better to show than what is there.
    const QString title = brwWebBrowser->title();
    if (!title.isEmpty() && !m_busy)
        setWindowTitle(title);
}

} // namespace halvex
