#include "importexport.h"

#include "benchcommon.h"

#include "store/datafolder.h"
#include "store/sitecsvexport.h"
#include "store/sitecsvimport.h"
#include "store/store.h"
#include "store/vcardexport.h"
#include "store/vcardimport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace zorbin::store;

namespace {

double residentMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Writes a KeePassXC-style CSV of `count` sites, Persian and Latin, with notes.
bool writeSites(const QString &path, qint64 count)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\","
                       "\"Icon\",\"Last Modified\",\"Created\"\n";
    const QByteArray groups[] = {"خبری", "Root/Internet", "بانک", "Shopping"};
    for (qint64 i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        chunk += "\"" + groups[i % 4] + "\",\"سايت شماره " + n + "\",\"user" + n + "\",\"p,\"\"w" +
                 n + "\",\"https://site" + n +
                 ".example.ir/login\",\"يادداشت\nخط دوم\",\"\",\"0\",\"\",\"\"\n";
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    return f.write(chunk) == chunk.size();
}

// Writes a vCard 3.0 file of `count` contacts with three numbers each.
bool writeContacts(const QString &path, int count)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        chunk += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:مخاطب شماره " + n + "\r\nN:شماره " + n +
                 ";مخاطب;;;\r\nTEL;TYPE=CELL:0912" + n + "\r\nTEL;TYPE=HOME:021" + n +
                 "\r\nTEL;TYPE=WORK:026" + n + "\r\nEMAIL:c" + n +
                 "@example.com\r\nCATEGORIES:دوستان\r\nADR;TYPE=HOME:;;خيابان " + n +
                 ";تهران;;;ايران\r\nEND:VCARD\r\n";
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    return f.write(chunk) == chunk.size();
}

struct Run
{
    double previewMs = 0;
    double importMs = 0;
    double addedMb = 0; // resident memory the import added at its highest
    qint64 added = 0;
};

template <class Import> bool measure(Import &import, Run &run)
{
    const double before = residentMb();
    double highest = before;
    const auto sample = [&highest](qint64, qint64) {
        highest = std::max(highest, residentMb());
        return true;
    };
    QElapsedTimer t;
    t.start();
    const auto preview = import.preview(sample);
    run.previewMs = msSince(t);
    t.restart();
    const auto done = import.run(sample);
    run.importMs = msSince(t);
    run.addedMb = highest - before;
    if (!preview || !done)
        return false;
    run.added = done->added;
    return true;
}

bool importSites(const QString &csv, Run &run)
{
    QTemporaryDir folder;
    auto store = openDataFolder(folder.path());
    if (!store)
        return false;
    SiteCsvImport import(**store, csv);
    return !import.readHeader() && measure(import, run);
}

bool importContacts(const QString &vcf, Run &run)
{
    QTemporaryDir folder;
    auto store = openDataFolder(folder.path());
    if (!store)
        return false;
    VCardImport import(**store, folder.path(), vcf);
    return measure(import, run);
}

} // namespace

bool benchImportExport(const QString &folder)
{
    std::printf("\nImport and export (preview and import each read the whole file)\n");
    const QString csvSmall = folder + QStringLiteral("/sites-20k.csv");
    const QString csvLarge = folder + QStringLiteral("/sites-100k.csv");
    const QString vcfSmall = folder + QStringLiteral("/contacts-20k.vcf");
    const QString vcfLarge = folder + QStringLiteral("/contacts-100k.vcf");
    if (!writeSites(csvSmall, 20000) || !writeSites(csvLarge, 100000) ||
        !writeContacts(vcfSmall, 20000) || !writeContacts(vcfLarge, 100000))
        return false;
    std::printf("files: %.1f MB of CSV, %.1f MB of vCard for 100,000 each\n",
                double(QFileInfo(csvLarge).size()) / 1e6, double(QFileInfo(vcfLarge).size()) / 1e6);

    Run sitesSmall, sitesLarge, contactsSmall, contactsLarge;
    if (!importSites(csvSmall, sitesSmall) || !importSites(csvLarge, sitesLarge) ||
        !importContacts(vcfSmall, contactsSmall) || !importContacts(vcfLarge, contactsLarge))
        return false;
    report("import 100,000 sites from CSV: preview", sitesLarge.previewMs / 1000, "s", "<= 5",
           sitesLarge.previewMs <= 5000);
    report("import 100,000 sites from CSV: import", sitesLarge.importMs / 1000, "s", "<= 5",
           sitesLarge.importMs <= 5000 && sitesLarge.added == 100000);
    report("  memory added, 20,000 sites", sitesSmall.addedMb, "MB", "(reference)", true);
    report("  memory added, 100,000 sites", sitesLarge.addedMb, "MB", "flat: <= 20k + 10 MB",
           sitesLarge.addedMb <= sitesSmall.addedMb + 10);
    report("import 100,000 contacts from vCard: preview", contactsLarge.previewMs / 1000, "s",
           "<= 5", contactsLarge.previewMs <= 5000);
    report("import 100,000 contacts from vCard: import", contactsLarge.importMs / 1000, "s", "<= 5",
           contactsLarge.importMs <= 5000 && contactsLarge.added == 100000);
    report("  memory added, 20,000 contacts", contactsSmall.addedMb, "MB", "(reference)", true);
    report("  memory added, 100,000 contacts", contactsLarge.addedMb, "MB", "flat: <= 20k + 10 MB",
           contactsLarge.addedMb <= contactsSmall.addedMb + 10);

    // Exports of what the large imports hold.
    QTemporaryDir data;
    auto store = openDataFolder(data.path());
    if (!store)
        return false;
    SiteCsvImport sites(**store, csvLarge);
    VCardImport contacts(**store, data.path(), vcfLarge);
    if (sites.readHeader() || !sites.run() || !contacts.run())
        return false;
    QElapsedTimer t;
    t.start();
    const bool sitesOut = SiteCsvExport::write(**store, (*store)->siteIds().value(),
                                               folder + QStringLiteral("/out.csv"))
                              .has_value();
    const double sitesMs = msSince(t);
    t.restart();
    const bool contactsOut =
        VCardExport::write(**store, data.path(), (*store)->contactIds().value(),
                           folder + QStringLiteral("/out.vcf"))
            .has_value();
    const double contactsMs = msSince(t);
    report("export 100,000 sites to CSV", sitesMs / 1000, "s", "<= 5", sitesOut && sitesMs <= 5000);
    report("export 100,000 contacts to vCard", contactsMs / 1000, "s", "<= 5",
           contactsOut && contactsMs <= 5000);

    // A file of 200 MB: read as a stream, the memory it adds no more than the small one's.
    const QString csvHuge = folder + QStringLiteral("/sites-200mb.csv");
    const qint64 perRow = QFileInfo(csvLarge).size() / 100000;
    if (!writeSites(csvHuge, 200'000'000 / perRow + 1))
        return false;
    QTemporaryDir hugeFolder;
    auto hugeStore = openDataFolder(hugeFolder.path());
    if (!hugeStore)
        return false;
    SiteCsvImport huge(**hugeStore, csvHuge);
    if (huge.readHeader())
        return false;
    const double before = residentMb();
    double highest = before;
    t.restart();
    const auto previewed = huge.preview([&highest](qint64, qint64) {
        highest = std::max(highest, residentMb());
        return true;
    });
    const double hugeMs = msSince(t);
    if (!previewed)
        return false;
    std::printf("preview of a %.0f MB CSV (%lld sites): %.1f s\n",
                double(QFileInfo(csvHuge).size()) / 1e6, previewed->added, hugeMs / 1000);
    report("  memory added, 200 MB file", highest - before, "MB", "flat: <= 20k + 10 MB",
           highest - before <= sitesSmall.addedMb + 10);
    return true;
}
