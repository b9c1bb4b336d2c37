#include "periphery/MakerPage.h"

#include <QUrl>

namespace halvex {

QString makerPageAddress(const ProgramFolder& folder)
{
    return QUrl::fromLocalFile(folder.path(kMakerPageFileName)).toString();
}

} // namespace halvex
