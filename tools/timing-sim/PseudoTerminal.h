#pragma once

#include <QString>

namespace halvex::sim {

// The unit's end of a serial line: a pseudo-terminal whose slave side is set to raw 9600 baud
// and linked as COM<n> in a folder, where the program looks its port number up. The slave is
// held open for the whole life of the object, so the line does not hang up each time the
// program closes its port. The link is removed again on destruction unless another unit has
// taken the name over meanwhile.
class PseudoTerminal
{
public:
    PseudoTerminal(const QString& folder, int port);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString errorString() const { return m_error; }

    int masterFd() const { return m_master; } // non-blocking
    QString devicePath() const { return m_device; }
    QString linkPath() const { return m_link; }

private:
    bool openLine();
    bool createLink();
    void close();

    int m_master = -1;
    int m_slave = -1;
    QString m_device;
    QString m_link;
    QString m_error;
};

} // namespace halvex::sim
