#include "mainwin/menus.h"

#include "common/appearance.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

struct Command
{
    int id;
    const char *caption;
    const char *icon;
};

struct Group
{
    const char *title;
    QList<Command> commands;
};

// The page's groups and their commands, in the order they are shown.
const QList<Group> &groups()
{
    static const QList<Group> list = {
        {"عمليـات",
         {{1, " سايت جديد ", "plus-square"},
          {2, " ويرايش سايت ", "pencil-square"},
          {3, " حذف سايت ", "trash"}}},
        {"امکانـات",
         {{4, " نمايش سايت ", "globe"},
          {5, " دفترچه تلفن ", "journal-bookmark"},
          {6, " معرفي سايت ", "envelope"},
          {26, " تماس با مدير ", "telephone-outbound"},
          {7, " تغييـر رمـز ", "key"},
          {8, " آمارگيـري ", "bar-chart"}}},
        {"گـزارش", {{9, " چاپ سايت ", "printer"}, {10, " چاپ ليست ", "list-ul"}}},
        {"بانـک", {{11, " پشتيبان گيري ", "database-down"}, {12, " بازگـردانـي ", "database-up"}}},
        {"دربـاره", {{13, " درباره زوربين ", "info-circle"}, {14, " سايت سازنده ", "house"}}},
    };
    return list;
}

// The commands that sit on the bar itself, at its far end.
const QList<Command> &barCommands()
{
    static const QList<Command> list = {
        {16, " موضوعات ", "tags"},
        {17, " پسورد ساز ", "shield-lock"},
        {18, " به روز رساني ", "arrow-repeat"},
        {19, " درباره طراح ", "person-badge"},
        {20, " ارسال ايميل ", "envelope-at"},
    };
    return list;
}

// The most used commands, also offered on a tool bar under the menu bar.
const QList<int> toolBarIds = {1, 2, 3, 4, 9, 10, 16};

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

MainMenus::MainMenus(QMainWindow *window) : QObject(window)
{
    m_actions = new QActionGroup(this);
    m_actions->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    connect(m_actions, &QActionGroup::triggered, this, &MainMenus::onActionTriggered);

    buildBar(window);
    buildToolBar(window);
    buildPopup(window);
}

const QList<int> &MainMenus::commandIds()
{
    static const QList<int> ids = [] {
        QList<int> list;
        for (const Group &g : groups())
            for (const Command &c : g.commands)
                list << c.id;
        for (const Command &c : barCommands())
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

void MainMenus::buildBar(QMainWindow *window)
{
    const QFont font = zorbin::ui::menuFont();

    m_bar = new QMenuBar(window);
    m_bar->setObjectName(QStringLiteral("ZBM"));
    m_bar->setFont(font);
    // Kept inside the window, so the corner commands show under every desktop.
    m_bar->setNativeMenuBar(false);

    m_page = new QMenu(QString::fromUtf8("  منـوي كاربـري "), m_bar);
    m_page->setObjectName(QStringLiteral("ZBM_Page"));
    m_page->setFont(font);
    m_bar->addMenu(m_page);

    int number = 0;
    for (const Group &g : groups()) {
        auto *menu = new QMenu(QString::fromUtf8(g.title), m_page);
        menu->setObjectName(QStringLiteral("ZBM_Group%1").arg(++number));
        menu->setFont(font);
        m_page->addMenu(menu);
        for (const Command &c : g.commands) {
            QAction *action = makeAction(QString::fromUtf8(c.caption),
                                         QStringLiteral("Command%1").arg(c.id), c.icon, c.id);
            menu->addAction(action);
            m_commands.insert(c.id, action);
        }
    }

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
    for (const Command &c : barCommands()) {
        QAction *action = makeAction(QString::fromUtf8(c.caption),
                                     QStringLiteral("Command%1").arg(c.id), c.icon, c.id);
        m_barEnd->addAction(action);
        m_commands.insert(c.id, action);
    }
    m_bar->setCornerWidget(m_barEnd, Qt::TopRightCorner);

    window->setMenuBar(m_bar);
}

void MainMenus::buildToolBar(QMainWindow *window)
{
    auto *tools = new QToolBar(QStringLiteral("نوار ابزار"), window);
    tools->setObjectName(QStringLiteral("ZBM_Tools"));
    tools->setFont(zorbin::ui::menuFont());
    tools->setMovable(false);
    tools->setIconSize(QSize(20, 20));
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (int id : toolBarIds)
        tools->addAction(m_commands.value(id));
    window->addToolBar(Qt::TopToolBarArea, tools);
}

void MainMenus::buildPopup(QMainWindow *window)
{
    m_popup = new QMenu(QString::fromUtf8("منو"), window);
    m_popup->setObjectName(QStringLiteral("Menu"));
    m_popup->setFont(zorbin::ui::menuFont());

    m_popup->addAction(
        makeAction(QString::fromUtf8("نمايش سايت"), QStringLiteral("M_Show"), "globe", 4, m_popup));
    m_popup->addSeparator();
    m_popup->addAction(makeAction(QString::fromUtf8("ويرايش سايت"), QStringLiteral("M_Edit"),
                                  "pencil-square", 2, m_popup));
    m_popup->addAction(
        makeAction(QString::fromUtf8("حذف سايت"), QStringLiteral("M_Delete"), "trash", 3, m_popup));
    m_popup->addSeparator();
    QAction *print =
        makeAction(QString::fromUtf8("چاپ سايت"), QStringLiteral("M_Print"), "printer", 0, m_popup);
    connect(print, &QAction::triggered, this, &MainMenus::popupPrintTriggered);
    m_popup->addAction(print);
    m_popup->addSeparator();
    m_popup->addAction(makeAction(QString::fromUtf8("معرفي سايت"), QStringLiteral("M_Intro"),
                                  "envelope", 6, m_popup));
    m_popup->addAction(makeAction(QString::fromUtf8("تماس با مدير"), QStringLiteral("M_Call"),
                                  "telephone-outbound", 26, m_popup));
}

void MainMenus::onActionTriggered(QAction *action)
{
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (ok)
        emit commandTriggered(id);
}
