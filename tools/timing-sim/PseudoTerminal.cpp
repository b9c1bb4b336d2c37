#include "PseudoTerminal.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace halvex::sim {

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

bool setCloseOnExec(int fd)
{
    const int flags = ::fcntl(fd, F_GETFD);
    return flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0;
}

} // namespace

PseudoTerminal::PseudoTerminal(const QString& folder, int port)
    : m_link(QDir(folder).filePath(QStringLiteral("COM%1").arg(port)))
{
    if (!QDir(folder).exists()) {
        m_error = QStringLiteral("folder %1 does not exist").arg(folder);
        return;
    }
    if (!openLine() || !createLink()) {
        close();
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (isOpen() && QFile::symLinkTarget(m_link) == m_device) {
        ::unlink(QFile::encodeName(m_link).constData());
    }
    close();
}

bool PseudoTerminal::openLine()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_error = systemError("openpty");
        return false;
    }
    m_device = QFile::decodeName(name);

    termios line{};
    if (::tcgetattr(m_slave, &line) != 0) {
        m_error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&line, B9600);
    ::cfsetospeed(&line, B9600);
    if (::tcsetattr(m_slave, TCSANOW, &line) != 0) {
        m_error = systemError("tcsetattr");
        return false;
    }

    // Child processes (a test starting the program) must not keep the line alive.
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        !setCloseOnExec(m_master) || !setCloseOnExec(m_slave)) {
        m_error = systemError("fcntl");
        return false;
    }
    return true;
}

bool PseudoTerminal::createLink()
{
    // Link under a temporary name, then rename over COM<n>: the program never finds the name
    // missing or pointing at a stale device while an older link is replaced.
    const QByteArray link = QFile::encodeName(m_link);
    const QByteArray temporary = link + ".new-" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_device).constData(), temporary.constData()) != 0) {
        m_error = systemError("symlink");
        return false;
    }
    if (::rename(temporary.constData(), link.constData()) != 0) {
        m_error = systemError("rename");
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void PseudoTerminal::close()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
}

} // namespace halvex::sim
