#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

namespace halvex::test {

// The program's controls, found by their object names as a scenario names them: "cmdRace", or
// "frmDragStats/cmdOk" where two windows hold a control of the same name. An unqualified name is
// looked up in the modal window first, then in the windows shown, then in the rest.
QObject* findControl(const QString& path);

// A property as text, one entry for a list ("items"). Besides the Qt properties: "items" (the
// entries of a box or list, "*" marking a selected row of a list; "column3" a table's fourth
// column), "background" (#rrggbb),
// "pointSize", "pixelSize", "status" (a main window's status bar message). A property that a
// combo box lacks is read from its line edit ("selectedText"). Throws when there is none.
QStringList readProperty(QObject* control, const QString& property);
// Sets a property from its text; "text" of a combo box sets its edit text, "size" ("800x451")
// resizes a window.
void writeProperty(QObject* control, const QString& property, const QString& value);

// As the operator does it: a mouse click (an action is triggered), a key sequence such as
// "Return" or "Ctrl+Q", the focus, a cell clicked (or double-clicked) in a box's open list, a
// list or a table.
void clickControl(QObject* control);
void pressKeys(QObject* control, const QString& keys);
void typeText(QObject* control, const QString& text);
void focusControl(QObject* control);
void pickRow(QObject* control, int row, int column, bool twice);
// The mouse pressed on one cell of a list or table and released on another.
void dragCell(QObject* control, QPoint from, QPoint to);
void closeWindow(QObject* control);

} // namespace halvex::test
