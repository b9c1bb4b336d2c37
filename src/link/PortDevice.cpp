#include "link/PortDevice.h"

#include "platform/Failure.h"

#include <QFileInfo>

namespace halvex {

QString portDevice(const ProgramFolder& folder, int portNumber, const QString& fallbackPrefix)
{
    const Failure invalid(QStringLiteral("Invalid Port Number"), Failure::InvalidPortNumber);
    if (portNumber < 1 || portNumber > 4)
        throw invalid;
    const QString link = folder.path(QStringLiteral("COM%1").arg(portNumber));
    // exists() follows a link, so a link to a vanished pseudo-terminal counts as missing.
    if (QFileInfo::exists(link))
        return link;
    const QString device = fallbackPrefix + QString::number(portNumber - 1);
    if (QFileInfo::exists(device))
        return device;
    throw invalid;
}

} // namespace halvex
