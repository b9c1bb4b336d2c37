// The entry of the web page window's module. The browser engine's libraries are large and slow
// to load; living in a module of their own, they are loaded the first time the window is opened
// instead of at every start of the program.
#include "periphery/frmBrowser.h"

extern "C" Q_DECL_EXPORT QDialog*
halvexCreateWebWindow(const QString& makerAddress, const QString& startingAddress, QWidget* parent)
{
    auto* window = new halvex::frmBrowser(makerAddress, parent);
    window->StartingAddress = startingAddress;
    return window;
}
