#pragma once

#include <QByteArray>
#include <QString>

namespace halvex {

inline const QString kWindowStateFileName = QStringLiteral("DragRacing.dat");

// The main window's last setup, carried from one run to the next in one line of thirteen fields.
struct WindowState
{
    QString ClassName;
    qint16 TreeIndex = 0;
    QString RacerLeft;
    QString RacerRight;
    QString CarLeft;
    QString CarRight;
    bool SpareFlag = false;
    bool AutoPrintSlip = false;
    qint32 CreditsColour = 0;
    float SpareValue = 0;
    bool DemoMode = false;
    float DialInLeft = 0;
    float DialInRight = 0;
};

QByteArray windowStateLine(const WindowState& state);
// Reads the fields in file order into the state; at the first field that cannot be read it throws,
// and the fields not yet read keep their values.
void readWindowState(const QByteArray& bytes, WindowState& state);

} // namespace halvex
