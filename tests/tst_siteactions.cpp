#include "common/dialogs.h"
#include "common/maker.h"
#include "common/recordwindow.h"
#include "helpers/testenv.h"
#include "helpers/urlcatcher.h"
#include "mainwin/mainmenus.h"
#include "mainwin/mainwindow.h"
#include "mainwin/siteactions.h"
#include "mainwin/sitelistaccess.h"
#include "tools/backuprestorewindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QToolBar>
#include <QUrlQuery>
#include <QtTest>

using zorbin::mainwin::Command;
using zorbin::mainwin::CommandEntry;
using zorbin::mainwin::commandTable;
using zorbin::mainwin::findCommand;
using zorbin::mainwin::MainMenus;
using zorbin::mainwin::MainWindow;
using zorbin::mainwin::SiteActions;
using zorbin::mainwin::SiteListAccess;
using zorbin::tools::BackupRestoreWindow;

using zorbin::common::Dialogs;
using zorbin::store::SiteListRow;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QString crlf = QStringLiteral("\r\n");

// The main window's list as the actions see it: the stored sites, optionally narrowed
// to some IDs as a search would, with one current row.
struct FakeList : SiteListAccess
{
    explicit FakeList(zorbin::store::Store &s) : store(s) { reload(); }

    void reload()
    {
        ids = filter.isEmpty() ? store.siteIds().value() : filter;
        if (current >= ids.size())
            current = 0;
    }
    std::optional<SiteListRow> row() const
    {
        if (ids.isEmpty())
            return std::nullopt;
        const auto found = store.siteListRow(ids.at(current));
        return found ? std::optional<SiteListRow>(*found) : std::nullopt;
    }
    void select(qint64 id) { current = int(ids.indexOf(id)); }

    int shownCount() const override { return int(ids.size()); }
    qint64 selectedId() const override { return ids.isEmpty() ? 0 : ids.at(current); }
    QString selectedTitle() const override { return row() ? row()->texts[0] : QString(); }
    QString selectedAddress() const override { return row() ? row()->texts[1] : QString(); }
    QString selectedMobile() const override { return row() ? row()->texts[4] : QString(); }
    QVector<SiteListRow> shownRows() const override
    {
        QVector<SiteListRow> rows;
        for (qint64 id : ids)
            rows << *store.siteListRow(id);
        return rows;
    }
    void reloadList() override
    {
        ++reloads;
        filter.clear();
        reload();
    }
    void focusSearch() override { ++focuses; }

    zorbin::store::Store &store;
    QVector<qint64> ids;
    QVector<qint64> filter;
    int current = 0;
    int reloads = 0;
    int focuses = 0;
};

// Notes every window the script is handed, with the mode and record a record window was
// given; the script then closes it.
class WindowLog
{
public:
    struct Seen
    {
        QString className;
        QString objectName;
        bool editMode;
        bool viewMode;
        qint64 selectedId;
    };

    // A record window reports the mode and record it was given.
    explicit WindowLog(Dialogs::Script &script)
    {
        script.onWindow = [this](QDialog &window) {
            const auto *record = qobject_cast<zorbin::common::RecordWindow *>(&window);
            using Mode = zorbin::common::RecordWindow::Mode;
            seen.append({QString::fromLatin1(window.metaObject()->className()), window.objectName(),
                         record && record->mode() == Mode::Edit,
                         record && record->mode() == Mode::View, record ? record->recordId() : 0});
        };
    }

    QList<Seen> seen;
};

// Which reports were previewed, and with how many records.
QList<QPair<QString, int>> previews(const Dialogs::Script &script)
{
    QList<QPair<QString, int>> list;
    for (const Dialogs::Shown &s : script.of(Dialogs::Kind::Preview))
        list << qMakePair(s.text, s.records);
    return list;
}

} // namespace

class TestSiteActions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;

private Q_SLOTS:
    // Each test case gets a fresh data folder with its store.
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QVERIFY(m_env->ok());
    }
    void cleanup() { m_env.reset(); }
    void initTestCase() { QApplication::setLayoutDirection(Qt::RightToLeft); }

    void menuBarTree();
    void everyCommandReportsItsIdentifier();
    void popupItems();

    void unknownAndLaterCommandsDoNothing();
    void newSiteAlwaysOpens();
    void editNeedsARow();
    void deleteAnswers();
    void deleteRemovesExactlyTheChosenId();
    void deleteRefusedByTheDatabase();
    void openAndIntroduce();
    void callAdministrator();
    void printCommands();
    void aboutBoxAndMaker();
    void aboutPage();
    void categoriesOpen();
    void toolWindowsOpen();
    void passwordWindowsOpen();

    void mainWindowPopupOnlyOverRows();
    void barCommandsInTheAccessibilityTree();
#ifdef ZORBIN_SCREENSHOTS
    // Under a real display (ZORBIN_SHOT=folder): pictures of the bar and the open page.
    void screenshots();
#endif
};

namespace {

// The commands in the bar's corner.
QList<QAction *> corner(QMenuBar *bar)
{
    auto *tools = qobject_cast<QToolBar *>(bar->cornerWidget(Qt::TopRightCorner));
    return tools ? tools->actions() : QList<QAction *>();
}

} // namespace

void TestSiteActions::menuBarTree()
{
    QMainWindow window;
    MainMenus menus(&window);
    QMenuBar *bar = window.menuBar();
    QCOMPARE(bar, menus.menuBar());
    QCOMPARE(bar->objectName(), QStringLiteral("ZBM"));

    // One page on the bar, holding the five groups in order.
    QList<QMenu *> pages;
    for (QAction *a : bar->actions())
        if (a->menu())
            pages << a->menu();
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first()->title(), u("  منـوي كاربـري "));

    const QList<QPair<QString, QList<int>>> groups = {
        {u("عمليـات"), {1, 2, 3}}, {u("امکانـات"), {4, 5, 6, 26, 7, 8, 30, 31, 32}},
        {u("گـزارش"), {9, 10}},    {u("بانـک"), {11, 12}},
        {u("دربـاره"), {13, 14}},
    };
    const QList<QAction *> groupActions = pages.first()->actions();
    QCOMPARE(groupActions.size(), groups.size());
    for (int g = 0; g < groups.size(); ++g) {
        QMenu *group = groupActions.at(g)->menu();
        QVERIFY(group);
        QCOMPARE(group->title(), groups.at(g).first);
        QList<int> ids;
        for (QAction *a : group->actions())
            ids << a->data().toInt();
        QCOMPARE(ids, groups.at(g).second);
    }

    // The table: unique identifiers and captions, each command with something to run.
    QSet<int> ids;
    QSet<QString> captions;
    for (const CommandEntry &entry : commandTable()) {
        QVERIFY2(!ids.contains(int(entry.id)), qPrintable(QString::number(int(entry.id))));
        ids.insert(int(entry.id));
        const QString caption = QString::fromUtf8(entry.caption);
        QVERIFY2(!caption.trimmed().isEmpty() && !captions.contains(caption), entry.caption);
        captions.insert(caption);
        QVERIFY2(entry.run, entry.caption);
        QCOMPARE(findCommand(entry.id), &entry);
        // Every command of the table is in the menus, as the table says.
        QAction *a = menus.command(entry.id);
        QVERIFY2(a, entry.caption);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->objectName(), QStringLiteral("Command%1").arg(int(entry.id)));
        QCOMPARE(a->data().toInt(), int(entry.id));
        QVERIFY(!a->icon().isNull());
    }
    QCOMPARE(ids.size(), 23);
    // And every command entry in the menus comes from the table.
    QList<QAction *> shown = corner(bar);
    for (QMenu *page : pages)
        for (QAction *group : page->actions())
            shown += group->menu()->actions();
    for (QAction *a : shown) {
        const CommandEntry *entry = findCommand(Command(a->data().toInt()));
        QVERIFY2(entry, qPrintable(a->text()));
        QCOMPARE(a->text(), QString::fromUtf8(entry->caption));
    }
    for (int id : {0, 15, 21, 22, 23, 24, 25, 27})
        QVERIFY(!menus.command(Command(id)));

    // The five bar commands sit in the bar's corner, not in the page.
    QList<int> cornerIds;
    for (QAction *a : corner(bar))
        cornerIds << a->data().toInt();
    QCOMPARE(cornerIds, (QList<int>{16, 17, 18, 19, 20}));

    // The tool bar offers the most used ones.
    auto *tools = window.findChild<QToolBar *>(QStringLiteral("ZBM_Tools"));
    QVERIFY(tools);
    QList<int> toolIds;
    for (QAction *a : tools->actions())
        toolIds << a->data().toInt();
    QCOMPARE(toolIds, (QList<int>{1, 2, 3, 4, 9, 10, 16}));
}

void TestSiteActions::everyCommandReportsItsIdentifier()
{
    QMainWindow window;
    MainMenus menus(&window);
    QSignalSpy spy(&menus, &MainMenus::commandTriggered);
    QSignalSpy print(&menus, &MainMenus::popupPrintTriggered);
    for (Command id : MainMenus::commandIds()) {
        menus.command(id)->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).value<Command>(), id);
    }
    QCOMPARE(print.size(), 0);
}

void TestSiteActions::popupItems()
{
    QMainWindow window;
    MainMenus menus(&window);
    QMenu *popup = menus.popup();
    QCOMPARE(popup->objectName(), QStringLiteral("Menu"));
    QCOMPARE(popup->title(), u("منو"));

    const QList<QPair<QString, QString>> items = {
        {QStringLiteral("M_Show"), u("نمايش سايت")},
        {QString(), QString()},
        {QStringLiteral("M_Edit"), u("ويرايش سايت")},
        {QStringLiteral("M_Delete"), u("حذف سايت")},
        {QString(), QString()},
        {QStringLiteral("M_Print"), u("چاپ سايت")},
        {QString(), QString()},
        {QStringLiteral("M_Intro"), u("معرفي سايت")},
        {QStringLiteral("M_Call"), u("تماس با مدير")},
    };
    const QList<QAction *> actions = popup->actions();
    QCOMPARE(actions.size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).first.isEmpty()) {
            QVERIFY2(actions.at(i)->isSeparator(), qPrintable(QString::number(i)));
            continue;
        }
        QCOMPARE(actions.at(i)->objectName(), items.at(i).first);
        QCOMPARE(actions.at(i)->text(), items.at(i).second);
    }

    QSignalSpy spy(&menus, &MainMenus::commandTriggered);
    QSignalSpy print(&menus, &MainMenus::popupPrintTriggered);
    const QList<QPair<QString, int>> commands = {
        {QStringLiteral("M_Show"), 4},   {QStringLiteral("M_Edit"), 2},
        {QStringLiteral("M_Delete"), 3}, {QStringLiteral("M_Intro"), 6},
        {QStringLiteral("M_Call"), 26},
    };
    for (const auto &[name, id] : commands) {
        popup->findChild<QAction *>(name)->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(int(spy.takeFirst().at(0).value<Command>()), id);
    }
    QCOMPARE(print.size(), 0);
    popup->findChild<QAction *>(QStringLiteral("M_Print"))->trigger();
    QCOMPARE(print.size(), 1);
    QCOMPARE(spy.size(), 0);
}

void TestSiteActions::unknownAndLaterCommandsDoNothing()
{
    TestEnv &env = *m_env;
    env.addSite(QStringLiteral("a"), QStringLiteral("http://a.ir"), QStringLiteral("news"),
                QStringLiteral("m"), QStringLiteral("0912"));
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    UrlCatcher urls;
    Dialogs::Script script;
    WindowLog modals(script);
    for (int id : {0, 15, 21, 22, 23, 24, 25, 27, 99, -1}) {
        actions.dispatch(Command(id));
        QCoreApplication::processEvents();
    }
    QVERIFY(script.shown.isEmpty());
    QVERIFY(urls.urls.isEmpty());
    QVERIFY(modals.seen.isEmpty());
    QCOMPARE(list.reloads, 0);
    QCOMPARE(list.focuses, 0);
    QCOMPARE(env.store->siteCount().value(), 1);
}

void TestSiteActions::newSiteAlwaysOpens()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;
    WindowLog modals(script);

    // Even with an empty list.
    actions.dispatch(Command::NewSite);
    QCOMPARE(modals.seen.size(), 1);
    QCOMPARE(modals.seen.first().className, QStringLiteral("zorbin::sites::SiteEditor"));
    QVERIFY(!modals.seen.first().editMode);
    QVERIFY(!modals.seen.first().viewMode);
    QCOMPARE(list.reloads, 1);

    // With sites listed it opens for a new site just the same.
    env.addSite(QStringLiteral("a"));
    list.reload();
    actions.dispatch(Command::NewSite);
    QCOMPARE(modals.seen.size(), 2);
    QCOMPARE(modals.seen.last().className, QStringLiteral("zorbin::sites::SiteEditor"));
    QVERIFY(!modals.seen.last().editMode);
}

void TestSiteActions::editNeedsARow()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    {
        Dialogs::Script script;
        actions.dispatch(Command::EditSite);
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
        QCOMPARE(script.lastText(), u("موردي براي ويرايش وجود ندارد"));
    }

    env.addSite(QStringLiteral("a"));
    const qint64 b = env.addSite(QStringLiteral("b"));
    QVERIFY(env.sql("INSERT INTO Table_Site (ID, Onvan, Address, Mozoo) "
                    "VALUES (40001, 'big', 'http://big.ir', 'news')"));
    list.reload();
    Dialogs::Script script;
    WindowLog modals(script);
    for (qint64 id : {b, qint64(40001)}) {
        list.select(id);
        actions.dispatch(Command::EditSite);
        QCOMPARE(modals.seen.last().className, QStringLiteral("zorbin::sites::SiteEditor"));
        QVERIFY(modals.seen.last().editMode);
        QVERIFY(!modals.seen.last().viewMode);
        QCOMPARE(modals.seen.last().selectedId, id);
    }
    QCOMPARE(modals.seen.size(), 2);
    QCOMPARE(list.reloads, 2);
}

void TestSiteActions::deleteAnswers()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    {
        Dialogs::Script script;
        actions.dispatch(Command::DeleteSite);
        QCOMPARE(script.texts(), QStringList{u("موردي براي حذف وجود ندارد")});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
        QCOMPARE(list.reloads, 0);
    }

    env.addSite(QStringLiteral("a"));
    const qint64 b = env.addSite(QStringLiteral("b"));
    list.reload();
    list.select(b);
    list.filter = {b}; // a search result on the grid

    {
        Dialogs::Script script;
        script.replies << Dialogs::Reply::No;
        actions.dispatch(Command::DeleteSite);
        QCOMPARE(script.texts(), QStringList{u(" آيا مي خواهيد اين سايت را حذف کنيد ؟")});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Question);
        QCOMPARE(env.store->siteCount().value(), 2);
        QCOMPARE(list.reloads, 1);
        QCOMPARE(list.focuses, 1);
        QVERIFY(list.filter.isEmpty());
    }
    {
        list.select(b);
        Dialogs::Script script;
        script.replies << Dialogs::Reply::Yes;
        actions.dispatch(Command::DeleteSite);
        QCOMPARE(script.texts(), QStringList{u(" آيا مي خواهيد اين سايت را حذف کنيد ؟")});
        QCOMPARE(env.store->siteIds().value().size(), 1);
        QVERIFY(!env.store->site(b));
        QCOMPARE(list.reloads, 2);
        QCOMPARE(list.focuses, 2);
        QCOMPARE(list.shownCount(), 1);
    }
}

void TestSiteActions::deleteRemovesExactlyTheChosenId()
{
    TestEnv &env = *m_env;
    for (int i = 1; i <= 19; ++i)
        env.addSite(QStringLiteral("site %1").arg(i));
    for (int i = 2; i <= 9; ++i)
        QVERIFY(env.store->deleteSite(i));
    QVERIFY(env.sql("INSERT INTO Table_Site (ID, Onvan, Address, Mozoo) "
                    "VALUES (40001, 'big', 'http://big.ir', 'news')"));
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;

    list.select(1);
    script.replies << Dialogs::Reply::Yes;
    actions.dispatch(Command::DeleteSite);
    QVector<qint64> expected;
    for (int i = 10; i <= 19; ++i)
        expected << i;
    QCOMPARE(env.store->siteIds().value(), expected << 40001);

    // Beyond the 16-bit range the right record goes, and only it.
    list.select(40001);
    script.replies << Dialogs::Reply::Yes;
    actions.dispatch(Command::DeleteSite);
    expected.removeLast();
    QCOMPARE(env.store->siteIds().value(), expected);
    for (const auto &s : script.shown)
        QVERIFY(s.kind != Dialogs::Kind::Error);
}

void TestSiteActions::deleteRefusedByTheDatabase()
{
    TestEnv &env = *m_env;
    const qint64 a = env.addSite(QStringLiteral("a"));
    QVERIFY(env.sql("CREATE TRIGGER keep BEFORE DELETE ON Table_Site "
                    "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;
    script.replies << Dialogs::Reply::Yes;
    actions.dispatch(Command::DeleteSite);
    QCOMPARE(script.shown.size(), 2);
    QCOMPARE(script.shown.at(0).kind, Dialogs::Kind::Question);
    QCOMPARE(script.shown.at(1).kind, Dialogs::Kind::Error);
    QVERIFY(script.shown.at(1).text.contains(QStringLiteral("kept")));
    QVERIFY(env.store->site(a));
    // The window stays usable: the list is read again and the search box has the focus.
    QCOMPARE(list.reloads, 1);
    QCOMPARE(list.focuses, 1);
}

void TestSiteActions::openAndIntroduce()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    UrlCatcher urls;
    Dialogs::Script script;

    // Nothing selected: no address to open.
    actions.dispatch(Command::ShowSite);
    QVERIFY(urls.urls.isEmpty());

    const QString address = QStringLiteral("http://shop.ir/find?a=1&b=دو#top");
    env.addSite(QStringLiteral("a"), address);
    list.reload();

    actions.dispatch(Command::ShowSite);
    QCOMPARE(urls.urls.size(), 1);
    QCOMPARE(urls.urls.first().scheme(), QStringLiteral("http"));
    QCOMPARE(urls.urls.first().host(), QStringLiteral("shop.ir"));
    QCOMPARE(urls.urls.first().fragment(), QStringLiteral("top"));

    actions.dispatch(Command::IntroduceSite);
    QCOMPARE(urls.urls.size(), 2);
    const QUrl mail = urls.urls.last();
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QVERIFY(mail.path().isEmpty());
    QVERIFY(mail.fragment().isNull());
    const QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), u("معرفي سايت"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), address);
    QVERIFY(script.shown.isEmpty());
}

void TestSiteActions::callAdministrator()
{
    TestEnv &env = *m_env;
    const qint64 none = env.addSite(QStringLiteral("a"), QStringLiteral("http://a.ir"),
                                    QStringLiteral("news"), QStringLiteral("m"));
    const qint64 some =
        env.addSite(QStringLiteral("b"), QStringLiteral("http://b.ir"), QStringLiteral("news"),
                    QStringLiteral("m"), QStringLiteral("0912 345 6789"));
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    UrlCatcher urls;

    {
        // No mobile number: nothing at all, not even the modem message.
        Dialogs::Script script;
        list.select(none);
        actions.dispatch(Command::CallAdministrator);
        QVERIFY(script.shown.isEmpty());
        QVERIFY(urls.urls.isEmpty());
        QCOMPARE(list.focuses, 0);
    }
    {
        Dialogs::Script script;
        list.select(some);
        actions.dispatch(Command::CallAdministrator);
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
        QCOMPARE(script.lastText(),
                 u("ارتباط تلفني با مدير سايت، از طريق مودم ديال آپ امکان پذير است") + crlf +
                     u("لذا شما بايد درايور مودم خود را بطور کامل نصب کنيد و کابل تلفن خانگي") +
                     crlf + u("را به مودم ديال آپ وصل کنيد"));
        QCOMPARE(urls.urls.size(), 1);
        QCOMPARE(urls.urls.first().scheme(), QStringLiteral("tel"));
        QCOMPARE(urls.urls.first().path(), QStringLiteral("09123456789"));
        QCOMPARE(list.focuses, 1);
    }
}

void TestSiteActions::printCommands()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    const QString nineLines =
        QStringList{u("کاربر گرامي، در صورت بروز خطا در مشاهده صفحه چاپ به آدرس زير برويد"),
                    u("Windows, XP:  Start > Settings > Control Panel > Printers and Faxes"),
                    u("Windows Vista, 7, 8:  Start > Control Panel > Devices and Printers"),
                    u("روي پرينتر مورد نظر راست کليک کنيد و گزينه زير را بزنيد"),
                    u("Printing Preferences"),
                    u("در پنجره باز شده قسمت زير را پيدا کنيد"),
                    u("Orientation"),
                    u("گزينه زير را فعال کنيد و تنظيمات را تائيد کنيد"),
                    u("Landscape")}
            .join(crlf);

    {
        Dialogs::Script script;
        actions.dispatch(Command::PrintSite);
        actions.dispatch(Command::PrintList);
        actions.printSelectedRow();
        QCOMPARE(script.texts(), QStringList(3, u("موردي براي چاپ وجود ندارد")));
        for (const auto &s : script.shown)
            QCOMPARE(s.kind, Dialogs::Kind::Exclamation);
        QCOMPARE(list.reloads, 0);
    }

    const qint64 a = env.addSite(QStringLiteral("a"));
    env.addSite(QStringLiteral("ab"));
    env.addSite(QStringLiteral("c"));
    QVERIFY(env.sql("INSERT INTO Table_Site (ID, Onvan, Address, Mozoo) "
                    "VALUES (40001, 'big', 'http://big.ir', 'news')"));
    list.reload();

    Dialogs::Script script;
    // One site, from the menu and from the popup, also beyond the 16-bit range.
    for (qint64 id : {a, qint64(40001)}) {
        list.select(id);
        actions.dispatch(Command::PrintSite);
        list.select(id);
        actions.printSelectedRow();
    }
    QCOMPARE(previews(script).size(), 4);
    for (const auto &r : previews(script))
        QCOMPARE(r, qMakePair(QStringLiteral("Print_Site"), 1));
    QCOMPARE(list.reloads, 4);
    QCOMPARE(script.shown.size(), 4); // nothing but the previews

    // The list prints exactly what the grid shows, then the grid shows the full list.
    script.shown.clear();
    list.filter = {a, a + 1};
    list.reload();
    actions.dispatch(Command::PrintList);
    QCOMPARE(script.texts(), (QStringList{nineLines, QStringLiteral("Print_Sites")}));
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
    QCOMPARE(previews(script), (QList<QPair<QString, int>>{{QStringLiteral("Print_Sites"), 2}}));
    QCOMPARE(list.reloads, 5);
    QCOMPARE(list.shownCount(), 4);

    // A site that is gone by the time it is printed gives a message, not an empty report.
    script.shown.clear();
    list.select(40001);
    QVERIFY(env.sql("DELETE FROM Table_Site WHERE ID = 40001"));
    actions.dispatch(Command::PrintSite);
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
}

void TestSiteActions::aboutBoxAndMaker()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    UrlCatcher urls;
    Dialogs::Script script;
    namespace maker = zorbin::common::maker;

    actions.dispatch(Command::About);
    const QStringList lines = {
        u("(نرم افزار زوربين (هميار اينترنت "), u("(نسخه موجود: 2.0 (رايگان "),
        u("انتشار: خرداد ماه 1393 "),           QString(),
        zorbin::common::maker::designer(),      zorbin::common::maker::telephone(),
        zorbin::common::maker::webAddress(),    zorbin::common::maker::email(),
        zorbin::common::maker::rights(),        QString(),
        zorbin::common::maker::sponsor()};
    QCOMPARE(script.texts(), QStringList{lines.join(crlf)});
    QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
    QVERIFY(urls.urls.isEmpty());

    actions.dispatch(Command::MakerSite);
    QCOMPARE(urls.urls.size(), 1);
    QCOMPARE(urls.urls.first(), QUrl(zorbin::common::maker::webAddress()));

    actions.dispatch(Command::MailMaker);
    QCOMPARE(urls.urls.size(), 2);
    const QUrl mail = urls.urls.last();
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(mail.path(), zorbin::common::maker::email());
    const QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             u("نرم افزار زوربين"));
    QVERIFY(query.hasQueryItem(QStringLiteral("body")));
    QVERIFY(query.queryItemValue(QStringLiteral("body")).isEmpty());
    QCOMPARE(script.shown.size(), 1);
}

void TestSiteActions::aboutPage()
{
    QTemporaryDir program;
    QTemporaryDir data;
    QFile resource(QStringLiteral(":/about.html"));
    QVERIFY(resource.open(QIODevice::ReadOnly));
    const QByteArray page = resource.readAll();
    QVERIFY(page.contains("<html"));

    // Missing beside the program: a copy of the bundled page in the data folder.
    const QString copy = SiteActions::aboutPage(program.path(), data.path());
    QCOMPARE(copy, QDir(data.path()).filePath(QStringLiteral("about.html")));
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), page);

    // The page beside the program wins.
    const QString beside = QDir(program.path()).filePath(QStringLiteral("about.html"));
    QFile own(beside);
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.write("<html>own</html>");
    own.close();
    QCOMPARE(SiteActions::aboutPage(program.path(), data.path()), beside);

    // The command hands the page to the desktop as a local file.
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    UrlCatcher urls;
    Dialogs::Script script;
    actions.dispatch(Command::AboutDesigner);
    QVERIFY(script.shown.isEmpty());
    QCOMPARE(urls.urls.size(), 1);
    QVERIFY(urls.urls.first().isLocalFile());
    const QString opened = urls.urls.first().toLocalFile();
    QCOMPARE(QFileInfo(opened).fileName(), QStringLiteral("about.html"));
    QVERIFY(QFile::exists(opened));
    QCOMPARE(opened,
             SiteActions::aboutPage(QCoreApplication::applicationDirPath(), env.dir.path()));
}

void TestSiteActions::categoriesOpen()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;
    WindowLog modals(script);
    actions.dispatch(Command::Subjects);
    QCOMPARE(modals.seen.size(), 1);
    QCOMPARE(modals.seen.first().className, QStringLiteral("zorbin::sites::SubjectsWindow"));
    QCOMPARE(list.reloads, 1);
}

void TestSiteActions::passwordWindowsOpen()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;
    QList<QWidget *> owners;
    WindowLog modals(script);
    auto log = script.onWindow;
    script.onWindow = [&](QDialog &window) {
        log(window);
        owners << window.parentWidget();
    };
    actions.dispatch(Command::ChangePassword);
    actions.dispatch(Command::PasswordGenerator);
    QCOMPARE(modals.seen.size(), 2);
    QCOMPARE(modals.seen[0].className, QStringLiteral("zorbin::account::ChangePasswordWindow"));
    QCOMPARE(modals.seen[1].className, QStringLiteral("zorbin::tools::PasswordGeneratorWindow"));
    QCOMPARE(owners, (QList<QWidget *>{&owner, &owner}));
    QCOMPARE(list.reloads, 0);
}

void TestSiteActions::mainWindowPopupOnlyOverRows()
{
    TestEnv &env = *m_env;
    MainWindow page(*env.context);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *grid = page.findChild<QAbstractItemView *>(QStringLiteral("VSG"));
    QVERIFY(grid);
    QMenu *popup = page.findChild<QMenu *>(QStringLiteral("Menu"));
    QVERIFY(popup);

    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(40, 10));
    QVERIFY(!popup->isVisible());

    env.addSite(QStringLiteral("a"));
    page.reloadList();
    const QRect row = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, row.center());
    QTRY_VERIFY(popup->isVisible());
    popup->close();

    // The window's bar is the one built here.
    QCOMPARE(page.menuBar()->objectName(), QStringLiteral("ZBM"));
    QVERIFY(page.findChild<QAction *>(QStringLiteral("Command26")));
}

// A screen reader walking down from the window finds the page menu and each of the five
// commands at the bar's far end, names them, and can press them.
void TestSiteActions::barCommandsInTheAccessibilityTree()
{
    QMainWindow window;
    MainMenus menus(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&menus, &MainMenus::commandTriggered);

    QHash<QString, QAccessibleInterface *> found;
    std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *node,
                                                                int depth) {
        if (!node || depth > 6)
            return;
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface *child = node->child(i);
            if (!child)
                continue;
            // The tree holds together: each child knows its place under its parent.
            QCOMPARE(node->indexOfChild(child), i);
            QCOMPARE(child->parent(), node);
            found.insert(child->text(QAccessible::Name).trimmed(), child);
            if (child->role() != QAccessible::PopupMenu)
                walk(child, depth + 1);
        }
    };
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(menus.menuBar());
    QVERIFY(bar);
    walk(bar, 0);
    QVERIFY(found.contains(u("منـوي كاربـري")));
    const QList<int> barIds = {16, 17, 18, 19, 20};
    for (int id : barIds) {
        const QString name = menus.command(Command(id))->text().trimmed();
        QVERIFY2(found.contains(name), qPrintable(name));
        QAccessibleInterface *button = found.value(name);
        QVERIFY(button->actionInterface());
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).value<Command>(), Command(id));
    }
}

#ifdef ZORBIN_SCREENSHOTS
void TestSiteActions::screenshots()
{
    const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
    if (folder.isEmpty())
        QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
    TestEnv &env = *m_env;
    env.addSite(QStringLiteral("خبرگزاري"), QStringLiteral("http://news.ir"),
                QStringLiteral("خبري"), QStringLiteral("علي"), QStringLiteral("09120000000"));
    MainWindow page(*env.context);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(page.grab().save(folder + QStringLiteral("/shot-menus-window.png")));

    auto *pageMenu = page.findChild<QMenu *>(QStringLiteral("ZBM_Page"));
    QVERIFY(pageMenu);
    page.menuBar()->setActiveAction(pageMenu->menuAction());
    QTRY_VERIFY(pageMenu->isVisible());
    auto *group = pageMenu->findChild<QMenu *>(QStringLiteral("ZBM_Group2"));
    pageMenu->setActiveAction(group->menuAction());
    group->popup(pageMenu->mapToGlobal(pageMenu->actionGeometry(group->menuAction()).topLeft()) -
                 QPoint(group->sizeHint().width(), 0));
    QTRY_VERIFY(group->isVisible());
    QTest::qWait(300);
    QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen->grabWindow(0).save(folder + QStringLiteral("/shot-menus-open.png")));
    group->close();
    pageMenu->close();

    QMenu *popup = page.findChild<QMenu *>(QStringLiteral("Menu"));
    popup->popup(page.mapToGlobal(QPoint(600, 250)));
    QTRY_VERIFY(popup->isVisible());
    QTest::qWait(300);
    QVERIFY(screen->grabWindow(0).save(folder + QStringLiteral("/shot-menus-popup.png")));
    popup->close();
}
#endif

// Statistics, backup, restore and the update check each open their own window, the backup
// and restore windows in their own mode; none of them reads the list again.
void TestSiteActions::toolWindowsOpen()
{
    TestEnv &env = *m_env;
    QWidget owner;
    FakeList list(*env.store);
    SiteActions actions(*env.context, list, &owner);
    Dialogs::Script script;
    QList<int> tabs;
    script.onWindow = [&tabs](QDialog &window) {
        if (auto *bank = qobject_cast<BackupRestoreWindow *>(&window))
            tabs << int(bank->mode());
    };
    for (Command id :
         {Command::Statistics, Command::Backup, Command::Restore, Command::UpdateCheck})
        actions.dispatch(id);
    QStringList opened;
    for (const Dialogs::Shown &s : script.of(Dialogs::Kind::Window))
        opened << s.className;
    QCOMPARE(
        opened,
        (QStringList{"zorbin::tools::StatisticsWindow", "zorbin::tools::BackupRestoreWindow",
                     "zorbin::tools::BackupRestoreWindow", "zorbin::tools::UpdateCheckWindow"}));
    QCOMPARE(tabs, (QList<int>{int(BackupRestoreWindow::Mode::Backup),
                               int(BackupRestoreWindow::Mode::Restore)}));
    QCOMPARE(script.shown.size(), 4);
    QCOMPARE(list.reloads, 0);
}

QTEST_MAIN(TestSiteActions)
#include "tst_siteactions.moc"
