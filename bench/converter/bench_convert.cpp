// Speed and memory of the converter: a version 1.0 database of 100,000 sites and 100,000
// contacts carried into ZBDB.mdb, each figure beside its target. Each conversion runs in
// a process of its own, so its peak memory is its own.

#include "converter/conversion.h"
#include "store/store.h"
#include "v1database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using zorbin::benchdata::TableRows;

void report(const char *what, double value, const char *unit, const char *target, bool ok)
{
    std::printf("%-58s %10.2f %-3s  target %-22s %s\n", what, value, unit, target,
                ok ? "ok" : "MISSED");
    std::fflush(stdout);
}

// A site and a contact of typical size: Persian and Latin text, a note of 120 characters.
bool makeSource(const QString &path, qint64 records)
{
    const QString persian = QString::fromUtf8("سایت نمونه زوربین ");
    const QString note = QString::fromUtf8("یادداشت کوتاه درباره این سایت، رمز دوم و ").repeated(3);
    TableRows t[4];
    t[0] = {1, [](qint64, QStringList &v) {
                v << "admin"
                  << "1"
                  << ""
                  << "";
            }};
    t[1] = {records, [&](qint64 i, QStringList &v) {
                const QString n = QString::number(i);
                v << persian + n << "https://site" + n + ".example.ir/login"
                  << "news"
                  << "info" + n + "@example.ir" << QString::fromUtf8("مدیر ") + n << "0912" + n
                  << "yahoo" + n << "fb" + n << "user" + n << "pass" + n << note + n;
            }};
    t[2] = {20, [](qint64 i, QStringList &v) { v << QStringLiteral("subject %1").arg(i); }};
    t[3] = {records, [&](qint64 i, QStringList &v) {
                const QString n = QString::number(i);
                v << QString::fromUtf8("نام و نام خانوادگی ") + n << QString::fromUtf8("دوستان")
                  << "0935" + n << "021" + n << "021" + n << "c" + n + "@example.ir"
                  << "http://c" + n + ".example.ir" << QString::fromUtf8("مهندس")
                  << QString::fromUtf8("تهران، خیابان ") + n << "";
            }};
    return zorbin::benchdata::makeVersion1Database(path, t);
}

// The child: analyse and convert, print the milliseconds.
int runConversion(const QString &source, const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    auto analysis = zorbin::converter::analyse(source, folder);
    if (!analysis) {
        std::fprintf(stderr, "%s\n", qPrintable(analysis.error()));
        return 1;
    }
    const auto counts = zorbin::converter::convert(*analysis);
    if (!counts) {
        std::fprintf(stderr, "%s\n", qPrintable(counts.error()));
        return 1;
    }
    analysis->target.reset();
    std::printf("%f %lld %lld\n", double(timer.nsecsElapsed()) / 1e6, (long long)(*counts)[1],
                (long long)(*counts)[3]);
    return 0;
}

struct Run
{
    double ms = -1;
    double peakMiB = 0;
};

Run convertInChild(const char *self, const QString &source, const QString &folder)
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFd[0]);
    const QByteArray src = QFile::encodeName(source), dst = QFile::encodeName(folder);
    char *argv[] = {const_cast<char *>(self), const_cast<char *>("--run"),
                    const_cast<char *>(src.constData()), const_cast<char *>(dst.constData()),
                    nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFd[1]);
    if (rc != 0) {
        close(pipeFd[0]);
        return {};
    }
    QByteArray out;
    char buf[256];
    ssize_t n;
    while ((n = read(pipeFd[0], buf, sizeof buf)) > 0)
        out.append(buf, n);
    close(pipeFd[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        run.ms = out.split(' ').value(0).toDouble();
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--run")
        return runConversion(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]));

    std::printf("CDB.Zorbin benchmark: version 1.0 database -> ZBDB.mdb\n\n");
    QTemporaryDir dir;
    Run small, large;
    for (const qint64 records : {qint64(10000), qint64(100000)}) {
        const QString source = dir.filePath(QStringLiteral("v1-%1.dbb").arg(records));
        const QString folder = dir.filePath(QStringLiteral("data-%1").arg(records));
        QDir().mkpath(folder);
        if (!makeSource(source, records) ||
            !zorbin::store::Store::createDatabase(QDir(folder).filePath("ZBDB.mdb"))) {
            std::fprintf(stderr, "cannot make the databases\n");
            return 1;
        }
        const Run run = convertInChild(argv[0], source, folder);
        if (run.ms < 0) {
            std::fprintf(stderr, "the conversion failed\n");
            return 1;
        }
        std::printf("  %lld sites + %lld contacts (source %.1f MiB): %.0f ms, peak %.1f MiB\n",
                    (long long)records, (long long)records,
                    double(QFileInfo(source).size()) / 1048576.0, run.ms, run.peakMiB);
        (records == 10000 ? small : large) = run;
    }
    std::printf("\n");
    report("convert 100,000 sites + 100,000 contacts", large.ms / 1000.0, "s", "<= 5 s",
           large.ms <= 5000);
    const double growth = large.peakMiB - small.peakMiB;
    report("peak memory growth, 10,000 -> 100,000 records each", growth, "MiB", "<= 8 MiB (flat)",
           growth <= 8);
    return large.ms <= 5000 && growth <= 8 ? 0 : 1;
}
