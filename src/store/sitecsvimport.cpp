#include "store/sitecsvimport.h"

#include "core/csvreader.h"
#include "store/store.h"
#include "store/text.h"

#include <QSet>
#include <QUrl>

namespace zorbin::store {

namespace {

using core::CsvReader;

int column(const QStringList &lowered, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (const qsizetype at = lowered.indexOf(QLatin1StringView(name)); at >= 0)
            return int(at);
    return -1;
}

bool hasAll(const QStringList &lowered, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (!lowered.contains(QLatin1StringView(name)))
            return false;
    return true;
}

ImportFailure readerFailure(const CsvReader &reader)
{
    using Kind = ImportFailure::Kind;
    const qint64 line = reader.problemLine();
    switch (reader.problem()) {
    case CsvReader::Problem::None:
    case CsvReader::Problem::CannotRead:
        break;
    case CsvReader::Problem::Binary:
        return {Kind::Binary, line};
    case CsvReader::Problem::NotUnicode:
        return {Kind::NotUnicode, line};
    case CsvReader::Problem::TooLong:
        return {Kind::TooLong, line};
    case CsvReader::Problem::Malformed:
        return {Kind::Malformed, line};
    }
    return {Kind::CannotRead, line};
}

ImportFailure storeFailure(const StoreError &error)
{
    return {ImportFailure::Kind::Store, 0, error};
}

} // namespace

SiteCsvImport::SiteCsvImport(Store &store, QString path) : m_store(store), m_path(std::move(path))
{
}

const QStringList &SiteCsvImport::keePassXcHeader()
{
    static const QStringList header{QStringLiteral("Group"),         QStringLiteral("Title"),
                                    QStringLiteral("Username"),      QStringLiteral("Password"),
                                    QStringLiteral("URL"),           QStringLiteral("Notes"),
                                    QStringLiteral("TOTP"),          QStringLiteral("Icon"),
                                    QStringLiteral("Last Modified"), QStringLiteral("Created")};
    return header;
}

std::optional<ImportFailure> SiteCsvImport::readHeader()
{
    CsvReader reader(m_path);
    core::CsvRecord first;
    if (!reader.next(first)) {
        if (reader.problem() == CsvReader::Problem::None)
            return ImportFailure{ImportFailure::Kind::Empty};
        return readerFailure(reader);
    }
    m_header = first.fields;
    QStringList lowered;
    for (const QString &name : m_header) {
        const QString key = name.trimmed().toLower();
        // A header names its columns: no blank names, no addresses or mail addresses.
        if (key.isEmpty() || key.contains(u':') || key.contains(u'@') || key.size() > 100)
            return ImportFailure{ImportFailure::Kind::NoHeader, first.line};
        lowered.append(key);
    }
    columns = {};
    if (hasAll(lowered, {"group", "title", "username", "password", "url", "notes"}))
        m_layout = CsvLayout::KeePassXC;
    else if (hasAll(lowered, {"url", "username", "password", "httprealm", "formactionorigin"}))
        m_layout = CsvLayout::Firefox;
    else if (hasAll(lowered, {"name", "url", "username", "password"}))
        m_layout = CsvLayout::Chromium;
    else
        m_layout = CsvLayout::Other;
    // Firefox has no name column: the title is the address's host.
    if (m_layout != CsvLayout::Firefox)
        columns.title = column(lowered, {"title", "name", "site", "account"});
    columns.address =
        column(lowered, {"url", "address", "website", "web site", "link", "login_uri"});
    columns.user = column(lowered, {"username", "user", "login", "login_username", "email"});
    columns.password = column(lowered, {"password", "pass", "login_password"});
    columns.notes = column(lowered, {"notes", "note", "comment", "comments", "extra"});
    columns.group = column(lowered, {"group", "folder", "category", "grouping"});
    return std::nullopt;
}

ImportResult SiteCsvImport::preview(const ImportProgress &progress)
{
    return pass(false, progress);
}

ImportResult SiteCsvImport::run(const ImportProgress &progress)
{
    return pass(true, progress);
}

ImportResult SiteCsvImport::pass(bool commit, const ImportProgress &progress)
{
    using Kind = ImportFailure::Kind;
    if (columns.title < 0 && columns.address < 0)
        return std::unexpected(ImportFailure{Kind::NoColumns});
    CsvReader reader(m_path);
    core::CsvRecord record;
    if (!reader.next(record)) // the header
        return std::unexpected(reader.problem() == CsvReader::Problem::None
                                   ? ImportFailure{Kind::Empty}
                                   : readerFailure(reader));
    const qsizetype width = record.fields.size();
    auto import = m_store.beginImport();
    if (!import)
        return std::unexpected(storeFailure(import.error()));

    ImportOutcome outcome;
    std::array<QString, SiteFieldCount - 1> values;
    QSet<QString> knownGroups; // stored, or added by this import
    const auto field = [&record](int at) {
        return at >= 0 && at < record.fields.size() ? record.fields[at] : QString();
    };
    qint64 rows = 0;
    while (reader.next(record)) {
        if (progress && (++rows % 512) == 0 &&
            !progress(reader.text().position(), reader.text().size()))
            return std::unexpected(ImportFailure{Kind::Cancelled});
        if (record.fields.size() != width) {
            outcome.refuse(record.line, Refusal::Malformed);
            continue;
        }
        const QString address = trimBlanks(field(columns.address));
        QString title = trimBlanks(field(columns.title));
        if (title.isEmpty())
            title = QUrl(address).host();
        bool tooLong = false;
        for (const QString &text : record.fields)
            tooLong = tooLong || text.size() > kMaxImportedField;
        if (tooLong) {
            outcome.refuse(record.line, Refusal::FieldTooLong, shortened(title));
            continue;
        }
        if (title.isEmpty()) {
            outcome.refuse(record.line, Refusal::NoTitle);
            continue;
        }
        auto stored = m_store.siteTitleExists(title);
        if (!stored.has_value())
            return std::unexpected(storeFailure(stored.error()));
        if (*stored && !numberDuplicates) {
            outcome.refuse(record.line, Refusal::TitleStored, title);
            continue;
        }
        for (int n = 2; *stored; ++n) {
            const QString numbered = QStringLiteral("%1 (%2)").arg(title).arg(n);
            stored = m_store.siteTitleExists(numbered);
            if (!stored.has_value())
                return std::unexpected(storeFailure(stored.error()));
            if (!*stored)
                title = numbered;
        }
        const QString group = trimBlanks(field(columns.group));
        if (!group.isEmpty() && !knownGroups.contains(group)) {
            auto known = m_store.categoryExists(group);
            if (!known.has_value())
                return std::unexpected(storeFailure(known.error()));
            if (!*known) {
                const QString name[] = {group};
                if (auto added = import->append(Store::ImportTable::Category, name); !added)
                    return std::unexpected(storeFailure(added.error()));
                ++outcome.subjectsAdded;
            }
            // A file has few groups; past a few thousand they are looked up every time.
            if (knownGroups.size() < 4096)
                knownGroups.insert(group);
        }
        values.fill(QString());
        values[Onvan - 1] = title;
        values[Address - 1] = address;
        values[Mozoo - 1] = group;
        values[User - 1] = trimBlanks(field(columns.user));
        // A password is kept exactly: its blanks may be part of it.
        values[Pass - 1] = field(columns.password);
        values[Tozihat - 1] = trimBlanks(field(columns.notes));
        if (auto added = import->append(Store::ImportTable::Site, values); !added)
            return std::unexpected(storeFailure(added.error()));
        ++outcome.added;
    }
    if (reader.problem() != CsvReader::Problem::None)
        return std::unexpected(readerFailure(reader));
    if (outcome.added == 0 && outcome.refused == 0)
        return std::unexpected(ImportFailure{Kind::Empty});
    const QByteArray digest = reader.text().digest();
    if (!commit) {
        m_previewDigest = digest;
        return outcome; // the Import rolls back as it goes
    }
    if (!m_previewDigest.isEmpty() && digest != m_previewDigest)
        return std::unexpected(ImportFailure{Kind::Changed});
    if (auto done = import->commit(); !done)
        return std::unexpected(storeFailure(done.error()));
    return outcome;
}

} // namespace zorbin::store
