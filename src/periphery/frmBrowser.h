#pragma once

#include <QDialog>

class QComboBox;
class QStatusBar;
class QTimer;
class QToolBar;
class QWebEngineView;

namespace halvex {

// The search page the toolbar's Search button goes to.
inline const QString kSearchPageAddress = QStringLiteral("https://duckduckgo.com/");

// A small web browser on the maker's web page (shown by the program halvex-browser, which the main
// program starts from its menu, see WebWindow.h), with a toolbar, an address box and a status bar.
// Loading it (the constructor) opens the starting address. A failure of the browser component
// is never reported: the step that failed is skipped.
class frmBrowser final : public QDialog
{
    Q_OBJECT
public:
    explicit frmBrowser(const QString& makerAddress, QWidget* parent = nullptr);

    QString StartingAddress;

    QToolBar* tbToolBar = nullptr;
    QComboBox* cboAddress = nullptr;
    QWebEngineView* brwWebBrowser = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer* timTimer = nullptr;

private:
    void buildControls();
    void tbToolBar_ButtonClick(const QString& key);
    void cboAddress_Click();
    void timTimer_Timer();
    void navigate(const QString& address);
    void showTitle();

    // The component has no busy flag of its own: a load is under way from its start to its end.
    bool m_busy = false;
};

} // namespace halvex
