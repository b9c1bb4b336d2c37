#include "link/QtSerialPort.h"

#include "link/PortDevice.h"
#include "platform/Failure.h"

#include <QFile>

#include <sys/stat.h>

namespace halvex {

QtSerialPort::QtSerialPort(ProgramFolder folder, QString fallbackPrefix)
    : m_folder(std::move(folder)), m_fallbackPrefix(std::move(fallbackPrefix))
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

void QtSerialPort::open()
{
    if (m_port.isOpen())
        throw Failure(QStringLiteral("Port already open"));
    m_device = portDevice(m_folder, m_number, m_fallbackPrefix);
    m_port.setPortName(m_device);
    if (!m_port.open(QIODevice::ReadWrite))
        throw Failure(m_port.errorString());
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        throw Failure(QStringLiteral("Operation valid only when the port is open"),
                      Failure::PortNotOpen);
    if (m_port.write(bytes) != bytes.size())
        throw Failure(m_port.errorString());
    // Commands go out at once: the program may block on the unit's reply right after writing.
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(2000)) {
            onError(m_port.error());
            throw Failure(QStringLiteral("Write to the timing unit timed out"));
        }
    }
}

qint64 QtSerialPort::bytesWaiting()
{
    if (!m_port.isOpen())
        return 0;
    return m_port.bytesAvailable();
}

QByteArray QtSerialPort::readAll()
{
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void QtSerialPort::discardInput()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
}

bool QtSerialPort::devicePresent() const
{
    if (!m_port.isOpen())
        return false;
    // The entry may have been made again for another device (the unit unplugged and plugged in
    // within a moment): the device it leads to now must be the one held open.
    struct stat now = {};
    struct stat held = {};
    if (::stat(QFile::encodeName(m_device).constData(), &now) != 0 ||
        ::fstat(static_cast<int>(m_port.handle()), &held) != 0)
        return false;
    return now.st_dev == held.st_dev && now.st_ino == held.st_ino && now.st_rdev == held.st_rdev;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // A device that went away (a USB adapter pulled out) closes the port cleanly.
    if (error == QSerialPort::ResourceError && m_port.isOpen()) {
        m_port.close();
        Q_EMIT deviceLost();
    }
}

} // namespace halvex
