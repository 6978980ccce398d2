#include "converter/conversion.h"

#include "store/connectiontext.h"
#include "store/filemodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace zorbin::converter {

using store::Store;

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString openMessage(const store::StoreError &r, const QString &path)
{
    using Kind = store::StoreError::Kind;
    switch (r.kind) {
    case Kind::CannotCreate:
        return QStringLiteral("There is no ZBDB.mdb at %1.").arg(path) + kLineBreak +
               QStringLiteral("Start Zorbin once so that it makes its database, then convert.");
    case Kind::NotReadable:
        return QStringLiteral("ZBDB.mdb at %1 cannot be read: permission denied.").arg(path);
    case Kind::ReadOnly:
        return QStringLiteral("ZBDB.mdb at %1 cannot be written: the file or its folder is "
                              "read-only.")
            .arg(path);
    case Kind::OldFormat:
    case Kind::NotEncrypted:
    case Kind::WrongPassword:
        return QStringLiteral("ZBDB.mdb at %1 is not a Zorbin version 2.0 database.").arg(path);
    case Kind::MissingTable:
        return QStringLiteral("ZBDB.mdb at %1 has no table %2.").arg(path, r.detail);
    case Kind::WrongColumns:
        return QStringLiteral("The table %2 of ZBDB.mdb at %1 lacks fields of version 2.0 or "
                              "has them in another order.")
            .arg(path, r.detail);
    case Kind::IsFolder:
        return QStringLiteral("ZBDB.mdb at %1 is a folder, not a database file.").arg(path);
    case Kind::BadConnection:
    case Kind::NotOpened:
    case Kind::Engine:
    case Kind::NotFound:
    case Kind::Busy:
    case Kind::Io:
        break;
    }
    return QStringLiteral("ZBDB.mdb at %1 cannot be opened: %2").arg(path, r.detail);
}

const QString kNothingAdded = QStringLiteral("Nothing was added to ZBDB.mdb.");

// The whole message for a source that is refused, by kind: the reason first, then what
// the reader found.
Refusal refused(Refusal r)
{
    switch (r.kind) {
    case Refusal::Kind::Damaged:
        r.text = QStringLiteral("The backup is damaged and cannot be converted.") + kLineBreak +
                 r.text + kLineBreak + kNothingAdded;
        break;
    case Refusal::Kind::NotADatabase:
        r.text = QStringLiteral("The file is not a database.") + kLineBreak + r.text + kLineBreak +
                 QStringLiteral("Choose a Zorbin version 1.0 backup.");
        break;
    case Refusal::Kind::WrongPassword:
        r.text = QStringLiteral("The database does not open with Zorbin's password.") + kLineBreak +
                 r.text + kLineBreak +
                 QStringLiteral("Only Zorbin's own version 1.0 backups can be converted.");
        break;
    case Refusal::Kind::AlreadyVersion2:
        r.text = QStringLiteral("This file is already a version 2.0 database: restore it in "
                                "Zorbin (Bank menu, Restore).");
        break;
    case Refusal::Kind::Other:
        r.text = QStringLiteral("The backup cannot be analysed.") + kLineBreak + r.text;
        break;
    }
    return r;
}

Refusal other(const QString &text)
{
    return Refusal{Refusal::Kind::Other, text};
}

bool hasField(const QStringList &fields, const QString &name)
{
    return fields.contains(name, Qt::CaseInsensitive);
}

} // namespace

const std::array<TablePlan, 4> &tablePlans()
{
    static const std::array<TablePlan, 4> plans{{
        {QStringLiteral("Table_User"),
         Store::ImportTable::User,
         {QStringLiteral("UserName"), QStringLiteral("Password"), QStringLiteral("Question"),
          QStringLiteral("Answer")}},
        {QStringLiteral("Table_Site"),
         Store::ImportTable::Site,
         {QStringLiteral("Onvan"), QStringLiteral("Address"), QStringLiteral("Mozoo"),
          QStringLiteral("Email"), QStringLiteral("Modir"), QStringLiteral("Mobile"),
          QStringLiteral("Yahoo"), QStringLiteral("Facebook"), QStringLiteral("User"),
          QStringLiteral("Pass"), QStringLiteral("Tozihat")}},
        {QStringLiteral("Table_Category"),
         Store::ImportTable::Category,
         {QStringLiteral("Category")}},
        {QStringLiteral("Table_Contact"),
         Store::ImportTable::Contact,
         {QStringLiteral("Name"), QStringLiteral("Group"), QStringLiteral("Mobile"),
          QStringLiteral("Home"), QStringLiteral("Office"), QStringLiteral("Email"),
          QStringLiteral("Site"), QStringLiteral("Job"), QStringLiteral("Address"),
          QStringLiteral("Image")}},
    }};
    return plans;
}

const QStringList &version2SiteFields()
{
    static const QStringList fields{QStringLiteral("Gmail"), QStringLiteral("Twitter"),
                                    QStringLiteral("Google"), QStringLiteral("Rss")};
    return fields;
}

Result<Analysis> analyse(const QString &sourcePath, const QString &targetFolder)
{
    Analysis a;
    auto source = openSource(sourcePath);
    if (!source)
        return std::unexpected(refused(source.error()));
    a.source = std::move(*source);
    for (const TablePlan &plan : tablePlans()) {
        const auto fields = a.source->fields(plan.name);
        if (!fields)
            return std::unexpected(refused(
                other(QStringLiteral("The %1 has no table %2.").arg(a.source->kind(), plan.name))));
        QStringList missing;
        for (const QString &f : plan.fields)
            if (!hasField(*fields, f))
                missing << f;
        if (!missing.isEmpty())
            return std::unexpected(
                refused(other(QStringLiteral("The table %1 has no field %2.")
                                  .arg(plan.name, missing.join(QStringLiteral(", "))))));
        if (plan.target == Store::ImportTable::Site)
            a.version2Sites = std::ranges::all_of(
                version2SiteFields(), [&](const QString &f) { return hasField(*fields, f); });
    }

    const QString folder = QDir(targetFolder).absolutePath();
    a.targetPath = QDir(folder).filePath(QString::fromLatin1(store::kDatabaseFileName));
    if (QFileInfo(a.targetPath).canonicalFilePath() == QFileInfo(sourcePath).canonicalFilePath())
        return std::unexpected(other(QStringLiteral("The backup is ZBDB.mdb itself; choose a "
                                                    "version 1.0 backup.")));
    store::Result<std::unique_ptr<Store>> target =
        QFileInfo::exists(a.targetPath)
            ? Store::open(store::connectionText(folder))
            : store::failure(store::StoreError::Kind::CannotCreate, a.targetPath);
    if (!target)
        return std::unexpected(other(openMessage(target.error(), a.targetPath)));
    a.target = std::move(*target);
    return a;
}

Result<Counts> convert(Analysis &analysis, const std::function<void(int, qint64)> &progress)
{
    Counts counts{};
    if (!analysis.source || !analysis.target)
        return std::unexpected(other(QStringLiteral("Analyse the backup first.")));
    auto import = analysis.target->beginImport();
    if (!import) {
        if (import.error().kind == store::StoreError::Kind::Busy)
            return std::unexpected(
                other(QStringLiteral("ZBDB.mdb is in use by another program (is Zorbin open?).") +
                      kLineBreak + QStringLiteral("Close it, then convert again.")));
        return std::unexpected(
            other(QStringLiteral("ZBDB.mdb cannot be changed: %1").arg(import.error().detail)));
    }
    const QString nothingAdded = kLineBreak + kNothingAdded;

    std::vector<QString> read;
    std::vector<QString> row;
    for (size_t t = 0; t < tablePlans().size(); ++t) {
        const TablePlan &plan = tablePlans()[t];
        QStringList fields = plan.fields;
        const bool site = plan.target == Store::ImportTable::Site;
        if (site && analysis.version2Sites)
            fields += version2SiteFields();
        auto cursor = analysis.source->read(plan.name, fields);
        if (!cursor)
            return std::unexpected(other(QStringLiteral("%1 could not be converted: %2")
                                             .arg(plan.name, cursor.error().text) +
                                         nothingAdded));
        const int columns = Store::Import::columnCount(plan.target);
        row.assign(size_t(columns), QString());
        while ((*cursor)->next(read)) {
            // Every value travels as text; the version 2.0 site fields a version 1.0
            // site lacks stay empty.
            for (size_t i = 0; i < row.size(); ++i)
                row[i] = i < read.size() ? std::move(read[i]) : QString();
            const auto added = import->append(plan.target, row);
            if (!added)
                return std::unexpected(other(QStringLiteral("%1 could not be converted: record "
                                                            "%2 was refused (%3).")
                                                 .arg(plan.name)
                                                 .arg(counts[t] + 1)
                                                 .arg(added.error().detail) +
                                             nothingAdded));
            if (++counts[t] % 4096 == 0 && progress)
                progress(int(t), counts[t]);
        }
        // A record that cannot be read is damage: the whole file is refused, and the
        // records read before it go with the transaction.
        if (!(*cursor)->error().isEmpty())
            return std::unexpected(refused({Refusal::Kind::Damaged, (*cursor)->error()}));
        if (progress)
            progress(int(t), counts[t]);
    }
    const auto committed = import->commit();
    if (!committed)
        return std::unexpected(other(QStringLiteral("The converted records could not be saved "
                                                    "in ZBDB.mdb: %1")
                                         .arg(committed.error().detail) +
                                     nothingAdded));
    return counts;
}

Result<void> saveCopy(const QString &databasePath, const QString &destination)
{
    const QString failed = QStringLiteral("The backup could not be saved to %1:").arg(destination);
    if (destination.isEmpty())
        return std::unexpected(other(QStringLiteral("No path was given for the backup.")));
    const QFileInfo target(destination);
    if (target.exists() &&
        target.canonicalFilePath() == QFileInfo(databasePath).canonicalFilePath())
        return std::unexpected(other(
            failed + kLineBreak + QStringLiteral("it is ZBDB.mdb itself; choose another file.")));
    if (target.isDir())
        return std::unexpected(other(failed + kLineBreak + QStringLiteral("it is a folder.")));
    QFile in(databasePath);
    if (!in.open(QIODevice::ReadOnly))
        return std::unexpected(other(failed + kLineBreak + in.errorString()));
    // A private file beside the destination, synced and renamed over it: a failure or a
    // killed process never leaves a half-written backup under the chosen name.
    const auto temp = store::createPrivateTemp(destination);
    if (!temp)
        return std::unexpected(other(failed + kLineBreak + temp.error().detail));
    QFile out(*temp);
    QString error;
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        error = out.errorString();
    QByteArray chunk;
    while (error.isEmpty() && !(chunk = in.read(1 << 20)).isEmpty())
        if (out.write(chunk) != chunk.size())
            error = out.errorString();
    if (error.isEmpty() && in.error() != QFileDevice::NoError)
        error = in.errorString();
    if (error.isEmpty() && !out.flush())
        error = out.errorString();
    out.close();
    if (error.isEmpty()) {
        auto placed = store::syncFile(*temp);
        if (placed)
            placed = store::renameOver(*temp, destination);
        if (!placed)
            error = placed.error().detail;
    }
    if (!error.isEmpty()) {
        QFile::remove(*temp);
        return std::unexpected(other(failed + kLineBreak + error));
    }
    return {};
}

} // namespace zorbin::converter
