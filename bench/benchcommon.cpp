#include "benchcommon.h"

#include "store/connectiontext.h"

#include <QApplication>
#include <QKeyEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double percentile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    if (v.isEmpty())
        return 0;
    const int i = std::clamp(int(p * (v.size() - 1) + 0.5), 0, int(v.size()) - 1);
    return v[i];
}

void report(const char *what, double value, const char *unit, const char *target, bool ok)
{
    std::printf("%-58s %10.2f %-3s  target %-22s %s\n", what, value, unit, target,
                ok ? "ok" : "MISSED");
    std::fflush(stdout);
}

RawConnection::RawConnection(const QString &folder)
{
    using namespace zorbin::store;
    const QByteArray path =
        QFile::encodeName(folder + QLatin1Char('/') + QString::fromLatin1(kDatabaseFileName));
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key(kDatabasePassword);
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
}

RawConnection::~RawConnection()
{
    sqlite3_close(db);
}

bool PaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        painted = true;
        if (clock)
            lastMs = msSince(*clock);
    }
    return QObject::eventFilter(watched, event);
}

void waitForPaint(QTableView *grid, PaintWatch &watch)
{
    grid->viewport()->update();
    for (int i = 0; i < 100 && !watch.painted; ++i)
        QCoreApplication::processEvents();
}

double typeUntilPainted(QWidget *box, QChar key, QTableView *grid, PaintWatch &watch,
                        QElapsedTimer &clock)
{
    watch.painted = false;
    watch.clock = &clock;
    watch.lastMs = 0;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, key);
    QApplication::sendEvent(box, &release);
    waitForPaint(grid, watch);
    return msSince(clock);
}
