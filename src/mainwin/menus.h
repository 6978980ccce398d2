#pragma once

#include <QHash>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

// The main window's menu bar and the site popup. Every command carries its numeric
// identifier; executing one reports that identifier.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    explicit MainMenus(QMainWindow *window);

    QMenu *popup() const { return m_popup; }
    QAction *command(int id) const { return m_commands.value(id); }

Q_SIGNALS:
    void commandTriggered(int id);
    // The popup's print item: print the grid's current row.
    void popupPrintTriggered();

private:
    QMenu *m_popup = nullptr;
    QHash<int, QAction *> m_commands;
};
