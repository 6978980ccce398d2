#include "core/commandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace zorbin::core {

CommandLine parseCommandLine(const QStringList &arguments, const ProgramInfo &program)
{
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(program.description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption data(
        QStringLiteral("data"),
        QStringLiteral("Use DIR as the data folder for this run (it holds ZBDB.mdb and "
                       "images/), instead of $ZORBIN_HOME or the usual folder."),
        QStringLiteral("DIR"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(data);

    // QCommandLineParser takes the program name from the first argument.
    if (!parser.parse(arguments)) {
        result.errors = QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n")
                            .arg(program.name, parser.errorText());
        result.exitCode = 2;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.errors = QStringLiteral("%1: unexpected argument '%2'\nTry '%1 --help' for more "
                                       "information.\n")
                            .arg(program.name, parser.positionalArguments().constFirst());
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        // The help text names the program as it was called; name it as installed.
        QString text = parser.helpText();
        const int lineEnd = text.indexOf(QLatin1Char('\n'));
        text.replace(0, lineEnd, QStringLiteral("Usage: %1 [options]").arg(program.name));
        result.output = text;
        result.exitCode = 0;
        return result;
    }
    if (parser.isSet(version)) {
        result.output = QStringLiteral("%1 %2\n").arg(program.name, program.version);
        result.exitCode = 0;
        return result;
    }
    if (parser.isSet(data)) {
        const QString folder = parser.value(data);
        if (folder.isEmpty()) {
            result.errors = QStringLiteral("%1: --data needs a folder\n").arg(program.name);
            result.exitCode = 2;
            return result;
        }
        result.dataFolder = QDir(folder).absolutePath();
    }
    return result;
}

std::optional<int> handleCommandLine(int argc, char *argv[], const ProgramInfo &program)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments, program);
    if (!line.output.isEmpty())
        std::fputs(line.output.toLocal8Bit().constData(), stdout);
    if (!line.errors.isEmpty())
        std::fputs(line.errors.toLocal8Bit().constData(), stderr);
    // The data folder rule reads $ZORBIN_HOME first; `--data` stands above it for this run.
    if (!line.dataFolder.isEmpty())
        qputenv("ZORBIN_HOME", QFile::encodeName(line.dataFolder));
    return line.exitCode;
}

} // namespace zorbin::core
