#include "support/FakeServices.h"

#include "platform/Failure.h"

#include <QTimer>

namespace halvex::test {

void MemoryPort::open()
{
    if (!present)
        throw Failure(QStringLiteral("Invalid Port Number"), Failure::InvalidPortNumber);
    opened = true;
}

void MemoryPort::write(const QByteArray& bytes)
{
    if (!opened)
        throw Failure(QStringLiteral("Operation valid only when the port is open"),
                      Failure::PortNotOpen);
    if (failing.contains(bytes))
        throw Failure(QStringLiteral("The device is not ready"));
    writes.append(bytes);
    if (answers.contains(bytes))
        arrive(answers.value(bytes));
}

void MemoryPort::arrive(const QByteArray& bytes)
{
    QTimer::singleShot(0, this, [this, bytes] {
        incoming += bytes;
        Q_EMIT readyRead();
    });
}

} // namespace halvex::test
