#pragma once

#include "common/context.h"
#include "mainwin/sitelistaccess.h"

#include <QObject>

class QWidget;

// The commands of the main window: one dispatch by identifier, and the actions on the
// selected site.
class SiteActions : public QObject
{
    Q_OBJECT
public:
    SiteActions(zorbin::ui::Context &context, SiteListAccess &list, QWidget *owner);

    // Runs the command with this identifier; an identifier without a command does nothing.
    void dispatch(int id);
    // The popup's print item: prints the grid's current row.
    void printSelectedRow();

    // The local about page: the copy beside the program when there is one, else a copy
    // written from the program's resources into the data folder. Empty when neither is
    // available.
    static QString aboutPage(const QString &programFolder, const QString &dataFolder);

private:
    // Opens the site window for a new site or for editing the selected one.
    void showSite(bool edit);
    void newSite();
    void editSite();
    void deleteSite();
    void openAddress();
    void introduceSite();
    void callAdministrator();
    void printSite();
    void printList();
    void showAbout();
    void openAboutPage();
    void mailMaker();
    void openCategories();

    zorbin::ui::Context &m_context;
    SiteListAccess &m_list;
    QWidget *m_owner;
};
