#include "link/PortDevice.h"

#include "platform/Failure.h"

#include <QFileInfo>

namespace halvex {

QString portDevice(const ProgramFolder& folder, int portNumber, const QString& fallbackPrefix)
{
    const Failure invalid(QStringLiteral("Invalid Port Number"), Failure::InvalidPortNumber);
    if (portNumber < 1 || portNumber > 4)
        throw invalid;
    // An entry COM<n> is always the port: one that points nowhere (an adapter unplugged) is a
    // missing device, never a reason to talk to another one.
    const QFileInfo link(folder.path(QStringLiteral("COM%1").arg(portNumber)));
    if (link.isSymLink() || link.exists()) {
        if (!link.exists())
            throw invalid;
        return link.filePath();
    }
    QString device = fallbackPrefix + QString::number(portNumber - 1);
    if (QFileInfo::exists(device))
        return device;
    throw invalid;
}

} // namespace halvex
