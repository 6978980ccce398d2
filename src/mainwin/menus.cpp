#include "mainwin/menus.h"

#include <QMainWindow>
#include <QMenu>

MainMenus::MainMenus(QMainWindow *window) : QObject(window)
{
    m_popup = new QMenu(window);
    m_popup->setObjectName(QStringLiteral("Menu"));
}
