#pragma once

#include "store/importoutcome.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace zorbin::store {

class Store;

// The program that wrote a CSV file of logins, told by its header row.
enum class CsvLayout { Other, Firefox, Chromium, KeePassXC };

// Which column of the file (from 0) feeds each site field; -1 for none.
struct SiteColumns
{
    int title = -1;
    int address = -1;
    int user = -1;
    int password = -1;
    int notes = -1;
    int group = -1;
};

// Adds the sites of a CSV file of logins (as Firefox, Chromium-based browsers and KeePassXC
// export them, or any CSV with a header row mapped by hand) in one transaction. A preview
// runs the same import and rolls it back, so its counts are exactly what run() adds; only
// counts and the first refused rows are kept, whatever the file's size. The file is only
// read.
class SiteCsvImport
{
public:
    SiteCsvImport(Store &store, QString path);

    // Reads the header row: the layout it names and the columns it maps.
    std::optional<ImportFailure> readHeader();
    CsvLayout layout() const { return m_layout; }
    const QStringList &headerNames() const { return m_header; }

    // The mapping readHeader() found; the user may change it before the preview.
    SiteColumns columns;
    // A title already stored gets " (2)", " (3)", ... instead of being refused.
    bool numberDuplicates = false;

    ImportResult preview(const ImportProgress &progress = {});
    // Fails with Changed when the file is no longer what the preview read.
    ImportResult run(const ImportProgress &progress = {});

    // The header row of the CSV files the export writes (KeePassXC's layout).
    static const QStringList &keePassXcHeader();

private:
    ImportResult pass(bool commit, const ImportProgress &progress);

    Store &m_store;
    QString m_path;
    CsvLayout m_layout = CsvLayout::Other;
    QStringList m_header;
    QByteArray m_previewDigest;
};

} // namespace zorbin::store
