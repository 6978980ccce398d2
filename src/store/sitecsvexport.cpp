#include "store/sitecsvexport.h"

#include "store/filemodes.h"
#include "store/sitecsvimport.h"
#include "store/store.h"

#include <QFile>
#include <csv.h>

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
    auto temp = createPrivateTemp(path);
    if (!temp)
        return std::unexpected(temp.error());
    QFile file(*temp);
    const auto abandon = [&file](Result<void> failed) {
        file.close();
        file.remove();
        return failed;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return abandon(ioFailure(file.errorString()));
    QByteArray chunk;
    appendRow(chunk, SiteCsvImport::keePassXcHeader());
    const QString none = QStringLiteral("");
    qint64 done = 0;
    for (const qint64 id : ids) {
        auto site = store.site(id);
        if (!site) {
            if (site.error().kind == StoreError::Kind::NotFound)
                continue; // deleted meanwhile
            return abandon(std::unexpected(site.error()));
        }
        const SiteRecord &s = *site;
        appendRow(chunk, {s[Mozoo], s[Onvan], s[User], s[Pass], s[Address], s[Tozihat], none, none,
                          none, none});
        if (chunk.size() > 256 * 1024) {
            if (file.write(chunk) != chunk.size())
                return abandon(ioFailure(file.errorString()));
            chunk.clear();
        }
        if (progress && (++done % 512) == 0 && !progress(done, ids.size()))
            return abandon(ioFailure(QStringLiteral("stopped")));
    }
    if (file.write(chunk) != chunk.size() || !file.flush())
        return abandon(ioFailure(file.errorString()));
    file.close();
    if (auto synced = syncFile(*temp); !synced)
        return abandon(synced);
    if (auto renamed = renameOver(*temp, path); !renamed)
        return abandon(renamed);
    return {};
}

} // namespace zorbin::store
