#pragma once

#include "platform/ProgramFolder.h"
#include "platform/SerialPort.h"

#include <QSerialPort>

namespace halvex {

// The timing unit's port over QSerialPort at 9600 baud, 8 data bits, no parity, 1 stop bit.
class QtSerialPort final : public SerialPort
{
public:
    explicit QtSerialPort(ProgramFolder folder,
                          QString fallbackPrefix = QStringLiteral("/dev/ttyS"));

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    void write(const QByteArray& bytes) override;
    qint64 bytesWaiting() override;
    QByteArray readAll() override;
    void discardInput() override;
    bool devicePresent() const override;
    QString deviceName() const override { return m_device; }

private:
    void onError(QSerialPort::SerialPortError error);

    ProgramFolder m_folder;
    QString m_fallbackPrefix;
    int m_number = 1;
    QString m_device; // the path opened last
    QSerialPort m_port;
};

} // namespace halvex
