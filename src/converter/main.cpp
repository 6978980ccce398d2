#include "converter/converterwindow.h"
#include "core/commandline.h"
#include "store/datafolder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // --help and --version answer before any window, display or database is touched.
    if (const auto status = zorbin::core::handleCommandLine(
            argc, argv,
            {QStringLiteral("CDB.Zorbin"), QStringLiteral(ZORBIN_VERSION),
             QStringLiteral("Converts a Zorbin version 1.0 database to version 2.0.")}))
        return *status;

    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/appicon/cdb.svg")));
    app.setDesktopFileName(QStringLiteral("example.zorbin.CDB"));
    // The same names as Zorbin's, so both find the same per-user data folder.
    QCoreApplication::setApplicationName(QStringLiteral("Zorbin"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zorbin"));
    // The converter is English and reads left to right, in the system's font.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);

    zorbin::converter::ConverterWindow window(zorbin::store::resolveDataFolder());
    window.show();
    return app.exec();
}
