#include "periphery/MakerPage.h"

#include <QUrl>

namespace halvex {

QString makerPageAddress(const ProgramFolder& folder)
{
    return QUrl::fromLocalFile(folder.shippedPath(kMakerPageFileName)).toString();
}

} // namespace halvex
