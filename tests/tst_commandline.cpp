#include "core/commandline.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using zorbin::core::CommandLine;
using zorbin::core::parseCommandLine;
using zorbin::core::ProgramInfo;

namespace {
const ProgramInfo kProgram{QStringLiteral("Zorbin"), QStringLiteral("2.0"),
                           QStringLiteral("An organiser.")};

CommandLine parse(const QStringList &arguments)
{
    return parseCommandLine(QStringList{QStringLiteral("/opt/x/Zorbin")} + arguments, kProgram);
}

// Runs the real program with `arguments`; no display, so only what needs none can work.
struct Run
{
    int status = -1;
    QString out, err;
};
Run runProgram(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZORBIN_BIN"), arguments);
    Run run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QProcessEnvironment headless()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}
} // namespace

// The command line of both programs, read before any window or database exists.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersThatEndTheProgram()
    {
        const CommandLine help = parse({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, std::optional<int>(0));
        // Named as installed, whatever path it was started by.
        QVERIFY(help.output.startsWith(QStringLiteral("Usage: Zorbin [options]\n")));
        QVERIFY(help.output.contains(QStringLiteral("--data <DIR>")));
        QVERIFY(help.output.contains(QStringLiteral("--version")));

        const CommandLine version = parse({QStringLiteral("-v")});
        QCOMPARE(version.exitCode, std::optional<int>(0));
        QCOMPARE(version.output, QStringLiteral("Zorbin 2.0\n"));
        QVERIFY(version.errors.isEmpty());
    }

    void usageErrorsEndWithStatusTwo()
    {
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("file.mdb")},
              QStringList{QStringLiteral("--data")},
              QStringList{QStringLiteral("--data"), QString()}}) {
            const CommandLine line = parse(arguments);
            QCOMPARE(line.exitCode, std::optional<int>(2));
            QVERIFY2(line.errors.startsWith(QStringLiteral("Zorbin: ")), qPrintable(line.errors));
            QVERIFY(line.output.isEmpty());
        }
    }

    void dataFolderForOneRun()
    {
        const CommandLine none = parse({});
        QVERIFY(!none.exitCode);
        QVERIFY(none.dataFolder.isEmpty());

        const CommandLine relative = parse({QStringLiteral("--data"), QStringLiteral("my data")});
        QVERIFY(!relative.exitCode);
        QCOMPARE(relative.dataFolder, QDir(QStringLiteral("my data")).absolutePath());
        const CommandLine joined = parse({QStringLiteral("--data=/srv/z;1")});
        QCOMPARE(joined.dataFolder, QStringLiteral("/srv/z;1"));
    }

    // The real program answers without a display, and --data stands above $ZORBIN_HOME.
    void theProgramItself()
    {
        const Run version = runProgram({QStringLiteral("--version")}, headless());
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("Zorbin 2.0\n"));

        const Run bogus = runProgram({QStringLiteral("--bogus")}, headless());
        QCOMPARE(bogus.status, 2);
        QVERIFY(bogus.out.isEmpty());
        QVERIFY(bogus.err.contains(QStringLiteral("bogus")));

        QTemporaryDir home, chosen;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ZORBIN_HOME"), home.path());
        environment.insert(QStringLiteral("ZORBIN_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
        const Run shown = runProgram({QStringLiteral("--data"), chosen.path()}, environment);
        QCOMPARE(shown.status, 0);
        QVERIFY(QFileInfo::exists(QDir(chosen.path()).filePath(QStringLiteral("ZBDB.mdb"))));
        QVERIFY(!QFileInfo::exists(QDir(home.path()).filePath(QStringLiteral("ZBDB.mdb"))));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
