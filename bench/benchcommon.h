#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QElapsedTimer;
class QTableView;
class QWidget;
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

// Notes each paint of the widget it watches: whether it painted, and with a clock, when
// the last paint began on it.
class PaintWatch : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool painted = false;
    const QElapsedTimer *clock = nullptr;
    double lastMs = 0;
};

// Until the grid has painted (the paint forced, so that it comes even when Qt would skip it).
void waitForPaint(QTableView *grid, PaintWatch &watch);

// Types `key` into `box` with `clock` started, and waits until `grid` has painted: the time
// that took. The watch keeps the clock, for paints that come later.
double typeUntilPainted(QWidget *box, QChar key, QTableView *grid, PaintWatch &watch,
                        QElapsedTimer &clock);
