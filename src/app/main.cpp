#include "app/HalvexApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvex 3000"));
    QApplication::setOrganizationName(QStringLiteral("Halvex"));
    halvex::HalvexApp halvex;
    halvex.start();
    return QApplication::exec();
}
