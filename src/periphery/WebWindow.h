#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace halvex {

// The web page window, from the module beside the program that holds it and its browser engine.
// Returns nothing when the module cannot be loaded; `error` then says why.
QDialog* createWebWindow(const QString& makerAddress, const QString& startingAddress,
                         QWidget* parent, QString* error);

} // namespace halvex
