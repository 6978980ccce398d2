#include "mainwin/siteactions.h"

#include "account/changepasswordwindow.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/maker.h"
#include "contacts/phonebookwindow.h"
#include "mainwin/commands.h"
#include "mainwin/sitedetailsreport.h"
#include "mainwin/sitelistreport.h"
#include "sites/siteeditor.h"
#include "sites/subjectswindow.h"
#include "store/messages.h"
#include "store/store.h"
#include "tools/backuprestorewindow.h"
#include "tools/importwindow.h"
#include "tools/locksettingswindow.h"
#include "tools/passwordgeneratorwindow.h"
#include "tools/recordexport.h"
#include "tools/statisticswindow.h"
#include "tools/updatecheckwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QWidget>

using zorbin::account::ChangePasswordWindow;
using zorbin::contacts::PhoneBookWindow;
using zorbin::sites::SiteEditor;
using zorbin::sites::SubjectsWindow;
using zorbin::tools::BackupRestoreWindow;
using zorbin::tools::ImportWindow;
using zorbin::tools::LockSettingsWindow;
using zorbin::tools::PasswordGeneratorWindow;
using zorbin::tools::RecordExport;
using zorbin::tools::StatisticsWindow;
using zorbin::tools::UpdateCheckWindow;

namespace zorbin::mainwin {

using zorbin::common::Dialogs;
using zorbin::store::userMessage;
namespace desktop = zorbin::common::desktop;

namespace {

const QString crlf = QStringLiteral("\r\n");

const char *const nothingToEdit = "موردي براي ويرايش وجود ندارد";
const char *const nothingToDelete = "موردي براي حذف وجود ندارد";
const char *const nothingToPrint = "موردي براي چاپ وجود ندارد";
const char *const deleteQuestion = " آيا مي خواهيد اين سايت را حذف کنيد ؟";

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

SiteActions::SiteActions(zorbin::common::Context &context, SiteListAccess &list, QWidget *owner)
    : QObject(owner), m_context(context), m_list(list), m_owner(owner)
{
}

void SiteActions::dispatch(zorbin::mainwin::Command id)
{
    // An identifier without a command, or a command whose window is still to come, does
    // nothing.
    if (const zorbin::mainwin::CommandEntry *entry = zorbin::mainwin::findCommand(id);
        entry && entry->run)
        (this->*entry->run)();
}

void SiteActions::showSite(bool edit)
{
    {
        SiteEditor dlg(m_context, edit ? SiteEditor::Mode::Edit : SiteEditor::Mode::New,
                       edit ? m_list.selectedId() : 0, m_owner);
        Dialogs::exec(dlg);
    }
    m_list.reloadList();
}

void SiteActions::openPhoneBook()
{
    PhoneBookWindow dlg(m_context, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::newSite()
{
    showSite(false);
}

void SiteActions::editSite()
{
    if (m_list.shownCount() < 1) {
        Dialogs::warn(m_owner, text(nothingToEdit));
        return;
    }
    showSite(true);
}

void SiteActions::deleteSite()
{
    if (m_list.shownCount() < 1) {
        Dialogs::warn(m_owner, text(nothingToDelete));
        return;
    }
    if (Dialogs::confirm(m_owner, text(deleteQuestion))) {
        const qint64 id = m_list.selectedId();
        if (const auto deleted = m_context.store.deleteSite(id); !deleted)
            Dialogs::error(m_owner, userMessage(QStringLiteral("سايت حذف نشد."), deleted.error()));
    }
    m_list.reloadList();
    m_list.focusSearch();
}

void SiteActions::openAddress()
{
    desktop::openAddress(m_list.selectedAddress());
}

void SiteActions::introduceSite()
{
    desktop::openUrl(desktop::mailtoUrl(QString(), text("معرفي سايت"), m_list.selectedAddress()));
}

void SiteActions::callAdministrator()
{
    const QString mobile = m_list.selectedMobile();
    if (mobile.isEmpty())
        return;
    const QStringList lines = {
        text("ارتباط تلفني با مدير سايت، از طريق مودم ديال آپ امکان پذير است"),
        text("لذا شما بايد درايور مودم خود را بطور کامل نصب کنيد و کابل تلفن خانگي"),
        text("را به مودم ديال آپ وصل کنيد"),
    };
    Dialogs::inform(m_owner, lines.join(crlf));
    desktop::openUrl(desktop::telUrl(mobile));
    m_list.focusSearch();
}

void SiteActions::printSelectedRow()
{
    printSite();
}

void SiteActions::printSite()
{
    if (m_list.shownCount() < 1) {
        Dialogs::warn(m_owner, text(nothingToPrint));
        return;
    }
    const auto record = m_context.store.site(m_list.selectedId());
    if (record)
        SiteDetailsReport(*record).exec(m_owner);
    else
        Dialogs::error(m_owner,
                       userMessage(QStringLiteral("اطلاعات اين سايت خوانده نشد."), record.error()));
    m_list.reloadList();
}

void SiteActions::printList()
{
    if (m_list.shownCount() < 1) {
        Dialogs::warn(m_owner, text(nothingToPrint));
        return;
    }
    if (!m_list.readWholeList())
        return;
    const QStringList lines = {
        text("کاربر گرامي، در صورت بروز خطا در مشاهده صفحه چاپ به آدرس زير برويد"),
        text("Windows, XP:  Start > Settings > Control Panel > Printers and Faxes"),
        text("Windows Vista, 7, 8:  Start > Control Panel > Devices and Printers"),
        text("روي پرينتر مورد نظر راست کليک کنيد و گزينه زير را بزنيد"),
        text("Printing Preferences"),
        text("در پنجره باز شده قسمت زير را پيدا کنيد"),
        text("Orientation"),
        text("گزينه زير را فعال کنيد و تنظيمات را تائيد کنيد"),
        text("Landscape"),
    };
    Dialogs::inform(m_owner, lines.join(crlf));
    SiteListReport(
        [this](int first, const SiteListReport::RowSink &sink) {
            return m_list.forEachShownRow(sink, first);
        },
        m_list.shownCount())
        .exec(m_owner);
    m_list.reloadList();
}

void SiteActions::showAbout()
{
    namespace maker = zorbin::common::maker;
    const QStringList lines = {
        text("(نرم افزار زوربين (هميار اينترنت "), text("(نسخه موجود: 2.0 (رايگان "),
        text("انتشار: خرداد ماه 1393 "),           QString(),
        zorbin::common::maker::designer(),         zorbin::common::maker::telephone(),
        zorbin::common::maker::webAddress(),       zorbin::common::maker::email(),
        zorbin::common::maker::rights(),           QString(),
        zorbin::common::maker::sponsor(),
    };
    Dialogs::inform(m_owner, lines.join(crlf));
}

QString SiteActions::aboutPage(const QString &programFolder, const QString &dataFolder)
{
    const QString beside = QDir(programFolder).filePath(QStringLiteral("about.html"));
    if (QFile::exists(beside))
        return beside;

    QFile resource(QStringLiteral(":/about.html"));
    if (dataFolder.isEmpty() || !resource.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray page = resource.readAll();
    const QString copy = QDir(dataFolder).filePath(QStringLiteral("about.html"));
    QFile file(copy);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == page)
        return copy;
    file.close();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size())
        return QString();
    return copy;
}

void SiteActions::openAboutPage()
{
    const QString page = aboutPage(QCoreApplication::applicationDirPath(), m_context.dataFolder);
    if (page.isEmpty()) {
        Dialogs::error(m_owner,
                       QStringLiteral("صفحه درباره طراح پيدا نشد و در پوشه اطلاعات هم نوشته نشد."));
        return;
    }
    desktop::openFile(page);
}

void SiteActions::openMakerSite()
{
    desktop::openAddress(zorbin::common::maker::webAddress());
}

void SiteActions::mailMaker()
{
    desktop::openUrl(
        desktop::mailtoUrl(zorbin::common::maker::email(), text("نرم افزار زوربين"), QString()));
}

void SiteActions::changePassword()
{
    ChangePasswordWindow dlg(m_context, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::openPasswordGenerator()
{
    PasswordGeneratorWindow dlg(m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::openLockSettings()
{
    LockSettingsWindow dlg(m_context, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::openCategories()
{
    {
        SubjectsWindow dlg(m_context, m_owner);
        Dialogs::exec(dlg);
    }
    m_list.reloadList();
}

void SiteActions::importSites()
{
    {
        ImportWindow dlg(m_context, ImportWindow::Kind::Sites, m_owner);
        if (!dlg.chooseFile())
            return;
        Dialogs::exec(dlg);
    }
    m_list.reloadList();
}

void SiteActions::exportSites()
{
    if (!m_list.readWholeList())
        return;
    QVector<qint64> shown;
    const auto read = m_list.forEachShownRow([&shown](const zorbin::store::SiteListRow &row) {
        shown.append(row.id);
        return true;
    });
    if (!read) {
        Dialogs::error(m_owner, userMessage(text("ليست خوانده نشد."), read.error()));
        return;
    }
    RecordExport::exportSites(m_context, shown, m_owner);
}

void SiteActions::showStatistics()
{
    StatisticsWindow dlg(m_context, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::backupDatabase()
{
    BackupRestoreWindow dlg(m_context, BackupRestoreWindow::Mode::Backup, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::restoreDatabase()
{
    // A refused restore changed nothing; after a restore the program is ending and
    // nothing more goes through the store, so the list is not read again either way.
    BackupRestoreWindow dlg(m_context, BackupRestoreWindow::Mode::Restore, m_owner);
    Dialogs::exec(dlg);
}

void SiteActions::checkForUpdate()
{
    UpdateCheckWindow dlg(m_context, m_owner);
    Dialogs::exec(dlg);
}

} // namespace zorbin::mainwin
