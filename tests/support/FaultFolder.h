#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/mount.h>
#include <unistd.h>

namespace halvex::test {

// Ways to make a folder fail under the program. Permissions do not hold for root, so a folder
// that refuses writes is a read-only mount there, and a full disk a tiny tmpfs; each helper
// tells when the machine does not allow it, and the test skips.

inline bool runningAsRoot()
{
    return geteuid() == 0;
}

// A tmpfs of `bytes` mounted over `dir` (its own contents hidden until unmounted).
class TinyDisk
{
public:
    TinyDisk(const QString& dir, qint64 bytes) : m_dir(dir)
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted = runningAsRoot() && ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs",
                                               0, options.constData()) == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
    }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    bool mounted() const { return m_mounted; }
    // Fills what is left of the disk, so that the next write of any size fails.
    void fill() const
    {
        QFile filler(QDir(m_dir).filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        // The last partial block: a byte at a time, until none fits.
        while (filler.write("f", 1) == 1 && filler.flush()) {
        }
    }
    // Makes the whole mount read-only (or writable again).
    bool setReadOnly(bool readOnly) const
    {
        return ::mount(nullptr, QFile::encodeName(m_dir).constData(), nullptr,
                       MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr) == 0;
    }

private:
    QString m_dir;
    bool m_mounted = false;
};

// Runs the enclosing block with the file permissions of an ordinary user, so that a folder
// without write permission refuses the program even when the tests run as root.
class AsOrdinaryUser
{
public:
    AsOrdinaryUser() : m_was(geteuid())
    {
        if (m_was == 0)
            m_changed = seteuid(65534) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (m_changed && seteuid(m_was) != 0)
            qFatal("cannot return to the test's own user");
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    uid_t m_was;
    bool m_changed = false;
};

// Open file descriptors of this process.
inline int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::System | QDir::AllEntries)
                   .size());
}

// Under the address sanitizer freed memory is held back on purpose, so resident memory tells
// nothing about leaks there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryIsMeasurable = false;
#else
inline constexpr bool kMemoryIsMeasurable = true;
#endif

// Resident memory of this process in kilobytes.
inline qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace halvex::test
