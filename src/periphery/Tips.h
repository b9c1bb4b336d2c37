#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace halvex {

class SettingsStore;

inline const QString kTipsFileName = QStringLiteral("TIPOFDAY.txt");

// The tip label's text when there is no tips file.
QString missingTipsText();

// The lines of a tips file in order, each without its line end; blank lines count as tips, but
// the line break that ends the file starts no further one.
QStringList tipLines(const QByteArray& bytes);

// The tip number (from 1) a draw r in [0, 1) picks among count tips: each equally likely, the one
// just shown included.
int drawTipNumber(int count, float r);

// The per-user start-up option "Show Tips at Startup", under the program's name in the section
// "Options": "1" shows the tips window at start-up, "0" keeps it away; absent counts as shown.
bool showTipsAtStartup(const SettingsStore& store);
void setShowTipsAtStartup(SettingsStore& store, bool show);

} // namespace halvex
