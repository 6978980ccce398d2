#include "store/sitecsvexport.h"

#include "store/filemodes.h"
#include "store/sitecsvimport.h"
#include "store/store.h"

#include <QFile>
#include <csv.h>
#include <utility>

namespace zorbin::store {

namespace {

// One CSV row: each field quoted, quotes inside doubled (libcsv's writer).
void appendRow(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out.append(',');
        const QByteArray text = fields[i].toUtf8();
        QByteArray quoted(text.size() * 2 + 2, Qt::Uninitialized);
        const size_t written =
            csv_write(quoted.data(), size_t(quoted.size()), text.constData(), size_t(text.size()));
        out.append(quoted.constData(), qsizetype(written));
    }
    out.append('\n');
}

Result<void> ioFailure(const QString &detail)
{
    return failure(StoreError::Kind::Io, detail);
}

} // namespace

Result<void> SiteCsvExport::write(Store &store, const QVector<qint64> &ids, const QString &path,
                                  const ImportProgress &progress)
{
    // Nothing is left behind when the writing stops short: the file is renamed into place
    // only once it is whole.
    PrivateFileWriter file(path);
    if (auto opened = file.open(); !opened)
        return opened;
    QByteArray chunk;
    appendRow(chunk, SiteCsvImport::keePassXcHeader());
    const QString none = QStringLiteral("");
    qint64 done = 0;
    for (const qint64 id : ids) {
        auto site = store.site(id);
        if (!site) {
            if (site.error().kind == StoreError::Kind::NotFound)
                continue; // deleted meanwhile
            return std::unexpected(site.error());
        }
        const SiteRecord &s = *site;
        appendRow(chunk, {s[Mozoo], s[Onvan], s[User], s[Pass], s[Address], s[Tozihat], none, none,
                          none, none});
        if (auto written = file.append(std::exchange(chunk, QByteArray())); !written)
            return written;
        if (progress && (++done % 512) == 0 && !progress(done, ids.size()))
            return ioFailure(QStringLiteral("stopped"));
    }
    if (auto written = file.append(chunk); !written)
        return written;
    return file.commit();
}

} // namespace zorbin::store
