#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace halvex {

// The link to the timing unit: a port number, its open state, writes, and what has arrived.
// Operations that fail throw halvex::Failure with the description the operator is shown.
class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // Opening a number that names no device throws Failure::InvalidPortNumber.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writing to a closed port throws Failure::PortNotOpen.
    virtual void write(const QByteArray& bytes) = 0;
    virtual qint64 bytesWaiting() = 0;
    virtual QByteArray readAll() = 0;
    // Drops everything received and not yet read, in the driver's buffers too.
    virtual void discardInput() = 0;
    // False once the open port's device has gone: its entry leads nowhere any more, or to another
    // device than the one held open.
    virtual bool devicePresent() const = 0;
    // The device the port number led to when it was opened last.
    virtual QString deviceName() const = 0;

Q_SIGNALS:
    // More bytes have arrived; emitted from the event loop, never from inside a write.
    void readyRead();
    // The device went away while open (a USB adapter pulled out); the port has closed itself.
    void deviceLost();
};

} // namespace halvex
