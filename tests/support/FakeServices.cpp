#include "support/FakeServices.h"

#include "platform/Failure.h"

namespace halvex::test {

void MemoryPort::open()
{
    if (openFails)
        throw Failure(QStringLiteral("Invalid Port Number"), Failure::InvalidPortNumber);
    opened = true;
}

void MemoryPort::write(const QByteArray& bytes)
{
    if (!opened)
        throw Failure(QStringLiteral("Operation valid only when the port is open"),
                      Failure::PortNotOpen);
    writes.append(bytes);
}

} // namespace halvex::test
