#include "converter/form1.h"
#include "store/datafolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The same names as Zorbin's, so both find the same per-user data folder.
    QCoreApplication::setApplicationName(QStringLiteral("Zorbin"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zorbin"));
    // The converter is English and reads left to right, in the system's font.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);

    Form1 window(zorbin::store::resolveDataFolder());
    window.show();
    return app.exec();
}
