#pragma once

#include "common/context.h"
#include "mainwin/commands.h"
#include "mainwin/sitelistaccess.h"

#include <QObject>

class QWidget;

namespace zorbin::mainwin {

// The commands of the main window: one dispatch by identifier, and the actions on the
// selected site.
class SiteActions : public QObject
{
    Q_OBJECT
public:
    SiteActions(zorbin::common::Context &context, SiteListAccess &list, QWidget *owner);

    // Runs the command through the command table; an identifier without a command does
    // nothing.
    void dispatch(zorbin::mainwin::Command id);
    // The popup's print item: prints the grid's current row.
    void printSelectedRow();

    // The local about page: the copy beside the program when there is one, else a copy
    // written from the program's resources into the data folder. Empty when neither is
    // available.
    static QString aboutPage(const QString &programFolder, const QString &dataFolder);

    // The commands, as the command table names them.
    void newSite();
    void editSite();
    void deleteSite();
    void openAddress();
    void introduceSite();
    void callAdministrator();
    void printSite();
    void printList();
    void showAbout();
    void openMakerSite();
    void openAboutPage();
    void mailMaker();
    void openCategories();
    void showStatistics();
    void backupDatabase();
    void restoreDatabase();
    void checkForUpdate();
    void openPhoneBook();
    void changePassword();
    void openPasswordGenerator();
    void importSites();
    void exportSites();
    void openLockSettings();

private:
    // Opens the site window for a new site or for editing the selected one.
    void showSite(bool edit);

    zorbin::common::Context &m_context;
    SiteListAccess &m_list;
    QWidget *m_owner;
};

} // namespace zorbin::mainwin
