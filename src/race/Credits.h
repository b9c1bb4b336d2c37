#pragma once

#include "platform/ProgramFolder.h"

#include <QObject>
#include <QString>

namespace halvex {

inline const QString kCreditsFileName = QStringLiteral("CreditRaces.dat");
inline const QString kNoCreditsLeft =
    QStringLiteral("You have no credits left. Please insert coin to continue.");

// The races a coin box has sold: the count in CreditRaces.dat, and the credit label as the main
// window shows it (its text and background). The run-out test reads the label's text while the
// count is always taken from the file; every change rewrites both, so they agree.
class Credits final : public QObject
{
    Q_OBJECT
public:
    explicit Credits(ProgramFolder folder);

    // The label: "<count> Credits" on green while credits remain, red when none.
    const QString& text() const { return m_text; }
    qint32 colour() const { return m_colour; }
    void setColour(qint32 colour);

    // A coin: the file's count plus the credits per coin, shown on green and written back.
    // Stops silently at the first failure (a missing file, a count past 32767); returns whether
    // the coin was taken, so its sound plays.
    bool insertCoin(int perCoin);
    // The start of a race: false when none is left (shown on red; the caller says so), else one
    // credit taken and written. A file that cannot be read or written throws.
    bool takeCredit();
    // Start-up and the settings' OK: the file's count shown, coloured when the box is installed.
    // Throws when the file cannot be read, leaving the label as it was.
    void show(bool installed);
    // A new installation has no file yet; it starts at 0 credits so that coins can be sold.
    void createFileIfMissing();

Q_SIGNALS:
    void changed();

private:
    qint16 readCount() const;
    void writeCount(qint16 count) const;
    void showCount(qint16 count);

    ProgramFolder m_folder;
    QString m_text = QStringLiteral("0 Credits");
    // The designed label reads "0 Credits", so it starts on red until a window state gives it
    // its saved colour.
    qint32 m_colour;
};

} // namespace halvex
