#include "race/WindowState.h"

#include "data/DelimitedText.h"
#include "platform/ProgramFolder.h"

namespace halvex {

QByteArray windowStateLine(const WindowStateRecord& s)
{
    DelimitedWriter out;
    windowStateFields(out, s);
    out.endLine();
    return out.bytes();
}

void readWindowState(const QByteArray& bytes, WindowStateRecord& s)
{
    DelimitedReader in(bytes, kWindowStateFileName);
    windowStateFields(in, s);
}

void WindowState::setDemoMode(bool demo)
{
    if (m_record.DemoMode == demo)
        return;
    m_record.DemoMode = demo;
    Q_EMIT demoModeChanged(demo);
}

void WindowState::takeRecord(const WindowStateRecord& record)
{
    const bool demo = m_record.DemoMode;
    m_record = record;
    if (demo != record.DemoMode)
        Q_EMIT demoModeChanged(record.DemoMode);
}

bool WindowState::apply(const ProgramFolder& folder)
{
    WindowStateRecord record = m_record;
    bool complete = true;
    try {
        readWindowState(readFileBytes(folder.path(kWindowStateFileName)), record);
    } catch (const std::exception&) {
        complete = false;
    }
    takeRecord(record);
    if (complete)
        Q_EMIT applied();
    return complete;
}

void WindowState::save(const ProgramFolder& folder, const WindowStateRecord& record)
{
    takeRecord(record);
    writeFileAtomically(folder.path(kWindowStateFileName), windowStateLine(m_record));
}

} // namespace halvex
