#pragma once

#include <QString>
#include <QVector>

class QElapsedTimer;
struct sqlite3;

// Milliseconds since the timer started, to the nanosecond.
double msSince(const QElapsedTimer &t);

// The p-th share (0 to 1) of the sorted values; 0 when there are none.
double percentile(QVector<double> v, double p);

// One figure beside its target, on one line, flushed at once.
void report(const char *what, double value, const char *unit, const char *target, bool ok);

// A connection of the benchmark's own to a data folder's database, beside the store's: for
// bulk fills in one transaction and for the plain queries a search is measured against.
struct RawConnection
{
    explicit RawConnection(const QString &folder);
    ~RawConnection();
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;
    sqlite3 *db = nullptr;
};
