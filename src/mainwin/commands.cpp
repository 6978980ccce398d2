#include "mainwin/commands.h"

#include "mainwin/siteactions.h"

#include <algorithm>
#include <array>

namespace zorbin::mainwin {

namespace {

using P = MenuPlace;
using A = SiteActions;

// clang-format off
constexpr std::array<CommandEntry, 23> kTable{{
    {Command::NewSite,           P::Operations, " سايت جديد ",     "plus-square",        true,  &A::newSite},
    {Command::EditSite,          P::Operations, " ويرايش سايت ",   "pencil-square",      true,  &A::editSite},
    {Command::DeleteSite,        P::Operations, " حذف سايت ",      "trash",              true,  &A::deleteSite},
    {Command::ShowSite,          P::Facilities, " نمايش سايت ",    "globe",              true,  &A::openAddress},
    {Command::PhoneBook,         P::Facilities, " دفترچه تلفن ",   "journal-bookmark",   false, &A::openPhoneBook},
    {Command::IntroduceSite,     P::Facilities, " معرفي سايت ",    "envelope",           false, &A::introduceSite},
    {Command::CallAdministrator, P::Facilities, " تماس با مدير ",  "telephone-outbound", false, &A::callAdministrator},
    {Command::ChangePassword,    P::Facilities, " تغييـر رمـز ",   "key",                false, &A::changePassword},
    {Command::Statistics,        P::Facilities, " آمارگيـري ",     "bar-chart",          false, &A::showStatistics},
    {Command::ImportSites,       P::Facilities, " ورود سايت ها از فايل ",  "file-earmark-arrow-down", false, &A::importSites},
    {Command::ExportSites,       P::Facilities, " ذخيره سايت ها در فايل ", "file-earmark-arrow-up",   false, &A::exportSites},
    {Command::LockSettings,      P::Facilities, " قفل خودكار ",    "lock",               false, &A::openLockSettings},
    {Command::PrintSite,         P::Reports,    " چاپ سايت ",      "printer",            true,  &A::printSite},
    {Command::PrintList,         P::Reports,    " چاپ ليست ",      "list-ul",            true,  &A::printList},
    {Command::Backup,            P::Database,   " پشتيبان گيري ",  "database-down",      false, &A::backupDatabase},
    {Command::Restore,           P::Database,   " بازگـردانـي ",   "database-up",        false, &A::restoreDatabase},
    {Command::About,             P::AboutGroup, " درباره زوربين ", "info-circle",        false, &A::showAbout},
    {Command::MakerSite,         P::AboutGroup, " سايت سازنده ",   "house",              false, &A::openMakerSite},
    {Command::Subjects,          P::BarEnd,     " موضوعات ",       "tags",               true,  &A::openCategories},
    {Command::PasswordGenerator, P::BarEnd,     " پسورد ساز ",     "shield-lock",        false, &A::openPasswordGenerator},
    {Command::UpdateCheck,       P::BarEnd,     " به روز رساني ",  "arrow-repeat",       false, &A::checkForUpdate},
    {Command::AboutDesigner,     P::BarEnd,     " درباره طراح ",   "person-badge",       false, &A::openAboutPage},
    {Command::MailMaker,         P::BarEnd,     " ارسال ايميل ",   "envelope-at",        false, &A::mailMaker},
}};
// clang-format on

} // namespace

std::span<const CommandEntry> commandTable()
{
    return kTable;
}

const CommandEntry *findCommand(Command id)
{
    const auto it = std::find_if(kTable.begin(), kTable.end(),
                                 [id](const CommandEntry &entry) { return entry.id == id; });
    return it == kTable.end() ? nullptr : &*it;
}

} // namespace zorbin::mainwin
