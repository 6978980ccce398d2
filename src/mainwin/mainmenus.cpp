#include "mainwin/mainmenus.h"

#include "common/appearance.h"
#include "common/icons.h"
#include "mainwin/commands.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>
#include <iterator>

using zorbin::mainwin::Command;
using zorbin::mainwin::CommandEntry;
using zorbin::mainwin::MenuPlace;

namespace zorbin::mainwin {

namespace {

// The titles of the page's five groups, in the order of MenuPlace.
constexpr const char *kGroupTitles[] = {"عمليـات", "امکانـات", "گـزارش", "بانـک", "دربـاره"};

// The popup's items: the command each one runs, its object name and its caption. The
// print item has no command of its own: it prints the grid's current row.
struct PopupItem
{
    const char *objectName;
    const char *caption;
    const char *icon;
    int command; // 0: a separator; -1: the print item
};
constexpr PopupItem kPopup[] = {
    {"M_Show", "نمايش سايت", "globe", int(Command::ShowSite)},
    {nullptr, nullptr, nullptr, 0},
    {"M_Edit", "ويرايش سايت", "pencil-square", int(Command::EditSite)},
    {"M_Delete", "حذف سايت", "trash", int(Command::DeleteSite)},
    {nullptr, nullptr, nullptr, 0},
    {"M_Print", "چاپ سايت", "printer", -1},
    {nullptr, nullptr, nullptr, 0},
    {"M_Intro", "معرفي سايت", "envelope", int(Command::IntroduceSite)},
    {"M_Call", "تماس با مدير", "telephone-outbound", int(Command::CallAdministrator)},
};

QIcon icon(const char *name)
{
    return zorbin::common::icon(QString::fromLatin1(name));
}

// The bar as assistive technology sees it: Qt lists only a bar's own menus, not the widget
// in its corner, so the five commands at the bar's far end would be out of reach. Here the
// corner's tool bar (and through it each command's button) follows the menus.
class CommandBarAccessible : public QAccessibleWidget
{
public:
    explicit CommandBarAccessible(QMenuBar *bar) : QAccessibleWidget(bar, QAccessible::MenuBar) {}

    int childCount() const override { return int(menus().size()) + (corner() ? 1 : 0); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QMenu *> list = menus();
        if (index >= 0 && index < list.size()) {
            // The menu's own parent is Qt's item for it on this bar.
            QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(list.at(index));
            return menu ? menu->parent() : nullptr;
        }
        if (index == list.size() && corner())
            return QAccessible::queryAccessibleInterface(corner());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        const QList<QMenu *> list = menus();
        for (int i = 0; i < list.size(); ++i)
            if (child->object() == list.at(i)->menuAction())
                return i;
        if (corner() && child->object() == corner())
            return int(list.size());
        return -1;
    }

private:
    QMenuBar *bar() const { return static_cast<QMenuBar *>(widget()); }
    QWidget *corner() const
    {
        QWidget *w = bar()->cornerWidget(Qt::TopRightCorner);
        return w && w->isVisibleTo(bar()) ? w : nullptr;
    }
    QList<QMenu *> menus() const
    {
        QList<QMenu *> list;
        for (QAction *a : bar()->actions())
            if (a->menu() && a->isVisible())
                list << a->menu();
        return list;
    }
};

// Serves the bars this file builds (named "ZBM"); every other widget keeps Qt's own.
QAccessibleInterface *commandBarFactory(const QString &className, QObject *object)
{
    auto *bar = qobject_cast<QMenuBar *>(object);
    if (className != QLatin1String("QMenuBar") || !bar || bar->objectName() != QLatin1String("ZBM"))
        return nullptr;
    return new CommandBarAccessible(bar);
}

} // namespace

MainMenus::MainMenus(QMainWindow *window) : QObject(window)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(commandBarFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    m_actions = new QActionGroup(this);
    m_actions->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    connect(m_actions, &QActionGroup::triggered, this, &MainMenus::onActionTriggered);

    buildBar(window);
    buildToolBar(window);
    buildPopup(window);
}

const QList<Command> &MainMenus::commandIds()
{
    static const QList<Command> ids = [] {
        QList<Command> list;
        for (const CommandEntry &c : zorbin::mainwin::commandTable())
            list << c.id;
        return list;
    }();
    return ids;
}

QAction *MainMenus::makeAction(const QString &text, const QString &objectName, const char *iconName,
                               int id, QObject *parent)
{
    auto *action = new QAction(icon(iconName), text, parent ? parent : this);
    action->setObjectName(objectName);
    action->setIconVisibleInMenu(true);
    if (id > 0) {
        action->setData(id);
        m_actions->addAction(action);
    }
    return action;
}

QAction *MainMenus::makeCommand(const CommandEntry &entry)
{
    const int id = int(entry.id);
    QAction *action = makeAction(QString::fromUtf8(entry.caption),
                                 QStringLiteral("Command%1").arg(id), entry.icon, id);
    m_commands.insert(entry.id, action);
    return action;
}

void MainMenus::buildBar(QMainWindow *window)
{
    const QFont font = zorbin::common::menuFont();

    m_bar = new QMenuBar(window);
    m_bar->setObjectName(QStringLiteral("ZBM"));
    m_bar->setFont(font);
    // Kept inside the window, so the corner commands show under every desktop.
    m_bar->setNativeMenuBar(false);

    m_page = new QMenu(QString::fromUtf8("  منـوي كاربـري "), m_bar);
    m_page->setObjectName(QStringLiteral("ZBM_Page"));
    m_page->setFont(font);
    m_bar->addMenu(m_page);

    QMenu *groupMenus[std::size(kGroupTitles)] = {};
    for (std::size_t g = 0; g < std::size(kGroupTitles); ++g) {
        auto *menu = new QMenu(QString::fromUtf8(kGroupTitles[g]), m_page);
        menu->setObjectName(QStringLiteral("ZBM_Group%1").arg(g + 1));
        menu->setFont(font);
        m_page->addMenu(menu);
        groupMenus[g] = menu;
    }
    for (const CommandEntry &c : zorbin::mainwin::commandTable())
        if (c.place != MenuPlace::BarEnd)
            groupMenus[std::size_t(c.place)]->addAction(makeCommand(c));

    // The five bar commands sit in the corner at the bar's far end (its left when the
    // window reads right to left).
    m_barEnd = new QToolBar(m_bar);
    m_barEnd->setObjectName(QStringLiteral("ZBM_End"));
    m_barEnd->setFont(font);
    m_barEnd->setMovable(false);
    m_barEnd->setFloatable(false);
    m_barEnd->setIconSize(QSize(16, 16));
    m_barEnd->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_barEnd->setStyleSheet(QStringLiteral("QToolBar { border: 0px; background: transparent; }"));
    for (const CommandEntry &c : zorbin::mainwin::commandTable())
        if (c.place == MenuPlace::BarEnd)
            m_barEnd->addAction(makeCommand(c));
    m_bar->setCornerWidget(m_barEnd, Qt::TopRightCorner);

    window->setMenuBar(m_bar);
}

void MainMenus::buildToolBar(QMainWindow *window)
{
    auto *tools = new QToolBar(QStringLiteral("نوار ابزار"), window);
    tools->setObjectName(QStringLiteral("ZBM_Tools"));
    tools->setFont(zorbin::common::menuFont());
    tools->setMovable(false);
    tools->setIconSize(QSize(20, 20));
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const CommandEntry &c : zorbin::mainwin::commandTable())
        if (c.onToolBar)
            tools->addAction(m_commands.value(c.id));
    window->addToolBar(Qt::TopToolBarArea, tools);
}

void MainMenus::buildPopup(QMainWindow *window)
{
    m_popup = new QMenu(QString::fromUtf8("منو"), window);
    m_popup->setObjectName(QStringLiteral("Menu"));
    m_popup->setFont(zorbin::common::menuFont());

    for (const PopupItem &item : kPopup) {
        if (item.command == 0) {
            m_popup->addSeparator();
            continue;
        }
        QAction *action =
            makeAction(QString::fromUtf8(item.caption), QString::fromLatin1(item.objectName),
                       item.icon, std::max(item.command, 0), m_popup);
        if (item.command < 0)
            connect(action, &QAction::triggered, this, &MainMenus::popupPrintTriggered);
        m_popup->addAction(action);
    }
}

void MainMenus::onActionTriggered(QAction *action)
{
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (ok)
        emit commandTriggered(Command(id));
}

} // namespace zorbin::mainwin
