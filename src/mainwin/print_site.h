#pragma once

#include "mainwin/reportpainter.h"
#include "store/records.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QPaintDevice;
class QPrinter;
class QWidget;

// The printed details of one site: a title, the fifteen labelled fields right to left and
// a footer line on every page. Long notes go on over further pages.
class Print_Site
{
public:
    explicit Print_Site(const zorbin::store::SiteRecord &record);

    // Paints all pages.
    void render(QPrinter *printer) const;
    // A4 portrait; false when the file could not be written.
    bool savePdf(const QString &path) const;
    // The modal print preview, from which the user prints or saves the report.
    void exec(QWidget *parent) const;

    // The pages as they are painted on `device`.
    QVector<zorbin::report::Page> layout(const QPaintDevice *device) const;
    QStringList pageTexts(QPrinter *printer) const;

    static QString title();
    static QString footer();
    // The labels in printing order, and the field each one shows.
    static const QStringList &labels();
    static const QVector<zorbin::store::SiteField> &fields();

private:
    bool paintTo(QPrinter *printer) const;

    zorbin::store::SiteRecord m_record;
};
