#pragma once

#include <QString>

class QWidget;

namespace halvex {

class ProgramFolder;
class Prompter;

// The web page window's program, beside the main program (periphery/BrowserMain.cpp).
inline const QString kBrowserProgramName = QStringLiteral("halvex-browser");

// The menu command "Vantora web site": the web page window runs as a program of its
// own, so that the main program loads no browser engine. The first window is modal: while its
// program runs, every input to the main program's windows is dropped (they keep repainting), and
// its window stays above `window`. When it ends, the maker's page must be in the program folder
// ("Please make sure you are connected to the internet" otherwise), and a second window is shown
// beside the program without waiting; it closes with the program at the latest. A program that
// cannot be started, or that ends with a failure, is reported to the operator. Returns at once.
void openWebPageWindows(const ProgramFolder& folder, Prompter& prompter, QWidget* window);

} // namespace halvex
