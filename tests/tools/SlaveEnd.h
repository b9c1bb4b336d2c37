#pragma once

#include <QByteArray>
#include <QString>

namespace halvex::test {

// The program's end of the line, opened the way the program opens its port: the COM<n> link,
// read and write, no controlling terminal, raw 9600 8N1.
class SlaveEnd
{
public:
    explicit SlaveEnd(const QString& path);
    ~SlaveEnd();
    SlaveEnd(const SlaveEnd&) = delete;
    SlaveEnd& operator=(const SlaveEnd&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray& bytes);
    // Everything read until the bytes end with `end` or the time is up.
    QByteArray readUntil(const QByteArray& end, int timeoutMs);
    // Everything that arrives within the time.
    QByteArray readFor(int milliseconds);

private:
    void readWaiting(QByteArray& bytes, qint64 timeoutMs);

    int m_fd = -1;
};

} // namespace halvex::test
