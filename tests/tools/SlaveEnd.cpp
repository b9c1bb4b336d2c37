#include "SlaveEnd.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace halvex::test {

SlaveEnd::SlaveEnd(const QString& path)
    : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    termios line{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &line) != 0) {
        return;
    }
    ::cfmakeraw(&line);
    ::cfsetispeed(&line, B9600);
    ::cfsetospeed(&line, B9600);
    line.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(m_fd, TCSANOW, &line);
}

SlaveEnd::~SlaveEnd()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool SlaveEnd::write(const QByteArray& bytes)
{
    return ::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

QByteArray SlaveEnd::readUntil(const QByteArray& end, int timeoutMs)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = timeoutMs; left > 0 && !bytes.endsWith(end);
         left = timeoutMs - clock.elapsed()) {
        readWaiting(bytes, left);
    }
    return bytes;
}

QByteArray SlaveEnd::readFor(int milliseconds)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = milliseconds; left > 0; left = milliseconds - clock.elapsed()) {
        readWaiting(bytes, left);
    }
    return bytes;
}

void SlaveEnd::readWaiting(QByteArray& bytes, qint64 timeoutMs)
{
    pollfd fd{m_fd, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(timeoutMs)) <= 0) {
        return;
    }
    char buffer[256];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count > 0) {
        bytes.append(buffer, count);
    }
}

} // namespace halvex::test
