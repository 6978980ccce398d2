#pragma once

#include "mainwin/reportpainter.h"
#include "store/records.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QPaintDevice;
class QPrinter;
class QWidget;

// The printed site list: exactly the rows it is given, seven columns right to left, the
// title and the heading row on every page and "page n of m" at the foot of each.
class Print_Sites
{
public:
    explicit Print_Sites(QVector<zorbin::store::SiteListRow> rows);

    // Paints all pages.
    void render(QPrinter *printer) const;
    // A4 landscape; false when the file could not be written.
    bool savePdf(const QString &path) const;
    int pageCount(QPrinter *printer) const;
    // The modal print preview, from which the user prints or saves the report.
    void exec(QWidget *parent) const;

    // The pages as they are painted on `device`.
    QVector<zorbin::report::Page> layout(const QPaintDevice *device) const;
    QStringList pageTexts(QPrinter *printer) const;

    static QString title();
    // Headings from the rightmost column to the leftmost one.
    static const QStringList &headings();
    static QString pageFooter(int page, int pages);

private:
    bool paintTo(QPrinter *printer) const;

    QVector<zorbin::store::SiteListRow> m_rows;
};
