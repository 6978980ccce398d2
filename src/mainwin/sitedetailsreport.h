#pragma once

#include "common/report.h"
#include "store/records.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QPaintDevice;

namespace zorbin::mainwin {

// The printed details of one site: a title, the fifteen labelled fields right to left and
// a footer line on every page. Long notes go on over further pages.
class SiteDetailsReport : public zorbin::common::report::Report
{
public:
    explicit SiteDetailsReport(const zorbin::store::SiteRecord &record);

    QVector<zorbin::common::report::Page> layout(const QPaintDevice *device) const override;
    int records() const override;

    static QString title();
    static QString footer();
    // The labels in printing order, and the field each one shows.
    static const QStringList &labels();
    static const QVector<zorbin::store::SiteField> &fields();

private:
    zorbin::store::SiteRecord m_record;
};

} // namespace zorbin::mainwin
