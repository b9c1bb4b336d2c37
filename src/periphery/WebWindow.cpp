#include "periphery/WebWindow.h"

#include <QCoreApplication>
#include <QLibrary>

namespace halvex {

QDialog* createWebWindow(const QString& makerAddress, const QString& startingAddress,
                         QWidget* parent, QString* error)
{
    using Create = QDialog* (*)(const QString&, const QString&, QWidget*);
    // Loaded once and kept for the run: windows made by it may live until the program ends.
    static QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/halvex-web"));
    const auto create = reinterpret_cast<Create>(module.resolve("halvexCreateWebWindow"));
    if (!create) {
        if (error)
            *error = module.errorString();
        return nullptr;
    }
    return create(makerAddress, startingAddress, parent);
}

} // namespace halvex
