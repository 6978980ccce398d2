#pragma once

#include "mainwin/commands.h"

#include <QHash>
#include <QObject>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace zorbin::mainwin {

// The main window's menu bar, tool bar and site popup, built from the command table.
// Every command carries its numeric identifier; executing one reports its Command.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    explicit MainMenus(QMainWindow *window);

    QMenu *popup() const { return m_popup; }
    QAction *command(zorbin::mainwin::Command id) const { return m_commands.value(id); }
    QMenuBar *menuBar() const { return m_bar; }
    // The one page of the bar that holds the five groups.
    QMenu *page() const { return m_page; }

    // The identifiers of the bar's commands, in the order they are shown.
    static const QList<zorbin::mainwin::Command> &commandIds();

Q_SIGNALS:
    void commandTriggered(zorbin::mainwin::Command id);
    // The popup's print item: print the grid's current row.
    void popupPrintTriggered();

private Q_SLOTS:
    void onActionTriggered(QAction *action);

private:
    QAction *makeAction(const QString &text, const QString &objectName, const char *icon, int id,
                        QObject *parent = nullptr);
    QAction *makeCommand(const zorbin::mainwin::CommandEntry &entry);
    void buildBar(QMainWindow *window);
    void buildToolBar(QMainWindow *window);
    void buildPopup(QMainWindow *window);

    QActionGroup *m_actions = nullptr;
    QMenuBar *m_bar = nullptr;
    QMenu *m_page = nullptr;
    QToolBar *m_barEnd = nullptr;
    QMenu *m_popup = nullptr;
    QHash<zorbin::mainwin::Command, QAction *> m_commands;
};

} // namespace zorbin::mainwin
