#include "tools/recordexport.h"

#include "common/dialogs.h"
#include "store/messages.h"
#include "store/sitecsvexport.h"
#include "store/store.h"
#include "store/vcardexport.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

namespace zorbin::tools {

namespace {

using common::Dialogs;

const QString kOnlyShownSites =
    QStringLiteral("فقط %1 سايتي که اکنون در ليست ديده مي شود ذخيره شود؟\r\n"
                   "(با «خير» همه %2 سايت ذخيره مي شود.)");
const QString kOnlyShownContacts =
    QStringLiteral("فقط %1 مخاطبي که اکنون در ليست ديده مي شود ذخيره شود؟\r\n"
                   "(با «خير» همه %2 مخاطب ذخيره مي شود.)");
const QString kSaveSites = QStringLiteral("ذخيره سايت ها در فايل CSV");
const QString kSaveContacts = QStringLiteral("ذخيره مخاطبين در فايل vCard");
const QString kSitesFilter = QStringLiteral("CSV (*.csv)");
const QString kContactsFilter = QStringLiteral("vCard (*.vcf)");
const QString kNothing = QStringLiteral("هيچ رکوردي براي ذخيره وجود ندارد");
const QString kSitesSaved = QStringLiteral("%1 سايت در فايل ذخيره شد");
const QString kContactsSaved = QStringLiteral("%1 مخاطب در فايل ذخيره شد");
const QString kNotSaved = QStringLiteral("فايل ذخيره نشد.");
const QString kReadFailed = QStringLiteral("ليست خوانده نشد.");

// All the IDs, or `shown` when the user takes only those.
std::optional<QVector<qint64>> chosenIds(const store::Result<QVector<qint64>> &all,
                                         const QVector<qint64> &shown, const QString &question,
                                         QWidget *parent)
{
    if (!all) {
        Dialogs::error(parent, store::userMessage(kReadFailed, all.error()));
        return std::nullopt;
    }
    if (all->isEmpty()) {
        Dialogs::warn(parent, kNothing);
        return std::nullopt;
    }
    if (!shown.isEmpty() && shown.size() < all->size() &&
        Dialogs::confirm(parent, question.arg(shown.size()).arg(all->size())))
        return shown;
    return *all;
}

QString suggested(const QString &name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
}

} // namespace

const QString &RecordExport::passwordWarning()
{
    static const QString text = QStringLiteral(
        "در اين فايل رمز عبور همه سايت ها بدون رمزنگاري و خوانا نوشته مي شود؛ هر کسي که فايل را "
        "ببيند رمزها را مي خواند.\r\nفايل را در جاي امن نگه داريد و پس از استفاده پاک کنيد.\r\n"
        "فايل ذخيره شود؟");
    return text;
}

bool RecordExport::exportSites(common::Context &context, const QVector<qint64> &shown,
                               QWidget *parent)
{
    const auto ids = chosenIds(context.store.siteIds(), shown, kOnlyShownSites, parent);
    if (!ids || !Dialogs::confirm(parent, passwordWarning()))
        return false;
    const QString path = Dialogs::saveFileName(
        parent, kSaveSites, suggested(QStringLiteral("zorbin-sites.csv")), kSitesFilter);
    if (path.isEmpty())
        return false;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto written = store::SiteCsvExport::write(context.store, *ids, path);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        Dialogs::error(parent, store::userMessage(kNotSaved, written.error()));
        return false;
    }
    Dialogs::inform(parent, kSitesSaved.arg(ids->size()));
    return true;
}

bool RecordExport::exportContacts(common::Context &context, const QVector<qint64> &shown,
                                  QWidget *parent)
{
    const auto ids = chosenIds(context.store.contactIds(), shown, kOnlyShownContacts, parent);
    if (!ids)
        return false;
    const QString path = Dialogs::saveFileName(
        parent, kSaveContacts, suggested(QStringLiteral("zorbin-contacts.vcf")), kContactsFilter);
    if (path.isEmpty())
        return false;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto written = store::VCardExport::write(context.store, context.dataFolder, *ids, path);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        Dialogs::error(parent, store::userMessage(kNotSaved, written.error()));
        return false;
    }
    Dialogs::inform(parent, kContactsSaved.arg(ids->size()));
    return true;
}

} // namespace zorbin::tools
