#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace halvex {

class ProgramFolder;

inline const QString kWindowStateFileName = QStringLiteral("DragRacing.dat");

// The main window's last setup, carried from one run to the next in one line of thirteen fields.
struct WindowStateRecord
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

// The fields of the window state file in their order, for reading and writing alike.
template <class Io, class Record> void windowStateFields(Io& io, Record& s)
{
    io(s.ClassName);
    io(s.TreeIndex);
    io(s.RacerLeft);
    io(s.RacerRight);
    io(s.CarLeft);
    io(s.CarRight);
    io(s.SpareFlag);
    io(s.AutoPrintSlip);
    io(s.CreditsColour);
    io(s.SpareValue);
    io(s.DemoMode);
    io(s.DialInLeft);
    io(s.DialInRight);
}

QByteArray windowStateLine(const WindowStateRecord& state);
// Reads the fields in file order into the state; at the first field that cannot be read it throws,
// and the fields not yet read keep their values.
void readWindowState(const QByteArray& bytes, WindowStateRecord& state);

// The window state of the run, demo mode among it. The main window puts a read state into its
// controls when applied() is emitted; the command module follows demoModeChanged().
class WindowState final : public QObject
{
    Q_OBJECT
public:
    const WindowStateRecord& record() const { return m_record; }
    bool demoMode() const { return m_record.DemoMode; }
    void setDemoMode(bool demo);

    // ApplyWindowState's reading: the file into the record, then applied(). Stops silently at the
    // first failure, the fields not yet read keeping their values; returns whether it got through.
    bool apply(const ProgramFolder& folder);
    // SaveWindowState's writing: takes the record, then rewrites the file whole. Throws on failure.
    void save(const ProgramFolder& folder, const WindowStateRecord& record);

Q_SIGNALS:
    void applied();
    void demoModeChanged(bool demo);

private:
    void takeRecord(const WindowStateRecord& record);

    WindowStateRecord m_record;
};

} // namespace halvex
