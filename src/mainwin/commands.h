#pragma once

#include <QMetaType>
#include <span>

namespace zorbin::mainwin {

class SiteActions;

// The main window's commands. Each keeps its numeric identifier, which the menu actions
// carry as their data and their objectNames ("Command16").
enum class Command : int {
    NewSite = 1,
    EditSite = 2,
    DeleteSite = 3,
    ShowSite = 4,
    PhoneBook = 5,
    IntroduceSite = 6,
    ChangePassword = 7,
    Statistics = 8,
    PrintSite = 9,
    PrintList = 10,
    Backup = 11,
    Restore = 12,
    About = 13,
    MakerSite = 14,
    Subjects = 16,
    PasswordGenerator = 17,
    UpdateCheck = 18,
    AboutDesigner = 19,
    MailMaker = 20,
    CallAdministrator = 26,
    // Beyond the designed menu: sites in from and out to files of other programs.
    ImportSites = 30,
    ExportSites = 31,
    LockSettings = 32,
};

// Where a command sits: one of the five groups of the menu page, or the bar's far end.
enum class MenuPlace { Operations, Facilities, Reports, Database, AboutGroup, BarEnd };

// One line of the command table: its place and caption in the menus, its icon, whether the
// tool bar offers it, and what runs it (nothing yet for windows still to come).
struct CommandEntry
{
    Command id;
    MenuPlace place;
    const char *caption;
    const char *icon;
    bool onToolBar;
    void (SiteActions::*run)();
};

// Every command, in the order the menus show them. A new window adds its line here.
std::span<const CommandEntry> commandTable();
// The table's line for `id`; nothing for an identifier without a command.
const CommandEntry *findCommand(Command id);

} // namespace zorbin::mainwin

Q_DECLARE_METATYPE(zorbin::mainwin::Command)
