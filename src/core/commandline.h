#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zorbin::core {

// What a program's command line asks for. It is read before the application object, any
// window or the database exists, so `--help` and `--version` work without a display.
struct CommandLine
{
    // Set when the program should end at once with this status: after printing the help
    // or the version (0), or after a usage error (2).
    std::optional<int> exitCode;
    // Printed to standard output (help, version) or standard error (usage error).
    QString output;
    QString errors;
    // `--data DIR`: the data folder for this run, above $ZORBIN_HOME.
    QString dataFolder;
};

struct ProgramInfo
{
    QString name;        // "Zorbin"
    QString version;     // "2.0"
    QString description; // one English line for --help
};

CommandLine parseCommandLine(const QStringList &arguments, const ProgramInfo &program);

// Parses argv, prints what the parse produced, and makes `--data` the data folder of this
// run. Returns the status to end with, if the program should not go on.
std::optional<int> handleCommandLine(int argc, char *argv[], const ProgramInfo &program);

} // namespace zorbin::core
