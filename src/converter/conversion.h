#pragma once

#include "converter/source.h"
#include "store/store.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

namespace zorbin::converter {

// The four tables in the order they are converted, with the fields read from the source
// and written to ZBDB.mdb in copy order.
struct TablePlan
{
    QString name;
    store::Store::ImportTable target;
    QStringList fields;
};
const std::array<TablePlan, 4> &tablePlans();
// The four fields a version 2.0 site has beyond those of version 1.0.
const QStringList &version2SiteFields();

// Both databases opened and checked: each holds the four tables with the fields the
// conversion reads and writes.
struct Analysis
{
    std::unique_ptr<Source> source;
    std::unique_ptr<store::Store> target;
    QString targetPath;
    // The source's sites carry the four version 2.0 fields, which are then copied too.
    bool version2Sites = false;
};

// Opens the source file and ZBDB.mdb in `targetFolder`. On failure the refusal's kind
// says what is wrong, and its text is the whole message for the user.
Result<Analysis> analyse(const QString &sourcePath, const QString &targetFolder);

// Records added per table, in plan order.
using Counts = std::array<qint64, 4>;

// Appends every record of the four source tables to ZBDB.mdb in one transaction: either
// all arrive or, on any failure, none, and the message names the table; a source that
// turns out damaged is refused whole. `progress`, when given, is called now and then
// with the table's index and the records added to it.
Result<Counts> convert(Analysis &analysis, const std::function<void(int, qint64)> &progress = {});

// Copies the database file to `destination`, replacing a file of that name. The copy is
// written under a temporary name and renamed into place, readable by the user alone. A
// failure is of kind Other, its text the whole message.
Result<void> saveCopy(const QString &databasePath, const QString &destination);

} // namespace zorbin::converter
