#include "app/HalvexApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex 3000"));
    QApplication::setOrganizationName(QStringLiteral("Halvex"));
    halvex::PlatformServices platform;
    halvex::HalvexApp halvex(platform.services());
    halvex.start();
    return QApplication::exec();
}
