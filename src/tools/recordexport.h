#pragma once

#include "common/context.h"

#include <QVector>

class QWidget;

namespace zorbin::tools {

// Saving sites to a CSV file and contacts to a vCard file, with the questions around it:
// all records or only those the list shows, the warning that a site file holds passwords
// in clear, and the file's name.
class RecordExport
{
public:
    // The text of the warning shown before sites are saved.
    static const QString &passwordWarning();

    // `shown` are the IDs the list shows; when they are fewer than all, the user chooses.
    // True when a file was written.
    static bool exportSites(common::Context &context, const QVector<qint64> &shown,
                            QWidget *parent);
    static bool exportContacts(common::Context &context, const QVector<qint64> &shown,
                               QWidget *parent);
};

} // namespace zorbin::tools
