#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/handpointer.h"
#include "helpers/urlcatcher.h"
#include "helpers/windowtestcase.h"
#include "sites/siteeditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using zorbin::sites::SiteEditor;

using zorbin::common::Dialogs;
using zorbin::store::SiteRecord;
namespace F = zorbin::store;

namespace {

const QString kCaptionNew = QStringLiteral("سايت جديد");
const QString kCaptionEdit = QStringLiteral("ويرايش مشخصات");
const QString kCaptionView = QStringLiteral("مشاهده مشخصات");
const QString kRegister = QStringLiteral("ثبت");
const QString kStore = QStringLiteral("ذخيره");
const QString kCancel = QStringLiteral("انصراف");
const QString kExit = QStringLiteral("خروج");
const QString kStarred = QStringLiteral(" لطفاً فيلدهاي ستاره دار را وارد کنيد");
const QString kDuplicate = QStringLiteral("اين سايت قبلاً ثبت شده است ");
const QString kClickHere = QStringLiteral("کليک کنيد");

QString added(const QString &typed)
{
    return QStringLiteral("سايت ") + typed + QStringLiteral(" ثبت شد");
}

QString updated(const QString &typed)
{
    return QStringLiteral(" اطلاعات سايت ") + typed + QStringLiteral(" به روز شد");
}

bool exec(TestEnv &env, const char *sql)
{
    return env.sql(sql);
}

} // namespace

// Collects what the window hands to the browser or mail program.
class TestSiteEditor : public WindowTestCase
{
    Q_OBJECT

private:
    UrlCatcher m_catcher;

    void prepareCase() override { m_catcher.urls.clear(); }

    // Shows the window and waits until it is the active window, as a user would meet it.
    static void open(SiteEditor &dlg)
    {
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }
    static QLineEdit *line(SiteEditor &dlg, int n)
    {
        return dlg.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(n));
    }
    static QComboBox *subject(SiteEditor &dlg) { return dlg.findChild<QComboBox *>("Text3"); }
    static QPushButton *button(SiteEditor &dlg, const char *name)
    {
        return dlg.findChild<QPushButton *>(QString::fromLatin1(name));
    }
    static void pick(SiteEditor &dlg, const QString &title)
    {
        subject(dlg)->setCurrentIndex(subject(dlg)->findText(title));
    }
    // Types a new site: title, address, subject.
    static void type(SiteEditor &dlg, const QString &title, const QString &address,
                     const QString &subjectTitle)
    {
        line(dlg, 1)->clear();
        QTest::keyClicks(line(dlg, 1), title);
        line(dlg, 2)->clear();
        QTest::keyClicks(line(dlg, 2), address);
        pick(dlg, subjectTitle);
    }
    static qint64 insertFull(TestEnv &env)
    {
        // An ID beyond 16 bits, beside a short one that shares its first digit.
        const bool ok =
            exec(env, "INSERT INTO Table_Site (ID, Onvan, Address, Mozoo, Email, Modir, Mobile, "
                      "Yahoo, Facebook, \"User\", Pass, Tozihat, Gmail, Twitter, Google, Rss) "
                      "VALUES (4, 'Four', 'http://four.ir', 'news', '', '', '', '', '', '', '', "
                      "'', '', '', '', ''), (40001, 'Forty', 'www.example.com', 'news', "
                      "'info@example.com', 'Ali', '0912', 'yh', 'https://www.facebook.com/ex', "
                      "'me', 'secret', 'notes', 'gm', '', 'https://plus.google.com/ex', "
                      "'http://feeds.example.com/main')");
        return ok ? 40001 : 0;
    }

private Q_SLOTS:
    void newModeLooksFresh()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);

        QCOMPARE(dlg.windowTitle(), kCaptionNew);
        QCOMPARE(button(dlg, "Button_Save")->text(), kRegister);
        QVERIFY(button(dlg, "Button_Save")->isEnabled());
        QCOMPARE(button(dlg, "Button_Cancel")->text(), kCancel);
        QCOMPARE(line(dlg, 1)->text(), QString());
        QCOMPARE(line(dlg, 2)->text(), QStringLiteral("http://"));
        QCOMPARE(line(dlg, 8)->text(), QStringLiteral("https://www.facebook.com/"));
        QCOMPARE(line(dlg, 13)->text(), QStringLiteral("https://twitter.com/"));
        QCOMPARE(line(dlg, 14)->text(), QStringLiteral("https://plus.google.com/"));
        QCOMPARE(line(dlg, 15)->text(), QString());
        QCOMPARE(subject(dlg)->count(), 1);
        QCOMPARE(subject(dlg)->currentIndex(), -1);
        QVERIFY(!subject(dlg)->isEditable());
        QVERIFY(!line(dlg, 16)->isVisible());
        QVERIFY(!line(dlg, 17)->isVisible());
        QCOMPARE(line(dlg, 10)->echoMode(), QLineEdit::Normal);
        QCOMPARE(dlg.findChild<QCheckBox *>("Check1")->toolTip(), QStringLiteral("نمايش"));
        QVERIFY(!dlg.findChild<QCheckBox *>("Check1")->isChecked());
        QCOMPARE(QApplication::focusWidget(), line(dlg, 1));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));

        // Labels and their boxes.
        const QList<std::pair<const char *, QString>> labels{
            {"Label1", QStringLiteral("*:عنوان سايت")},
            {"Label2", QStringLiteral("*:آدرس سايت")},
            {"Label4", QStringLiteral("*:موضوع سايت")},
            {"Label3", QStringLiteral(":ايميل سايت")},
            {"Label5", QStringLiteral(":مدير سايت")},
            {"Label6", QStringLiteral(":تلفن تماس")},
            {"Label8", QStringLiteral(":شناسه ياهو")},
            {"Label9", QStringLiteral(":شناسه گوگل")},
            {"Label13", QStringLiteral(":فيسبوک سايت")},
            {"Label10", QStringLiteral(":تويتر سايت")},
            {"Label11", QStringLiteral(":گوگل پلاس")},
            {"Label12", QStringLiteral(":سايت RSS")},
            {"Label15", QStringLiteral(":نام کاربري شما")},
            {"Label14", QStringLiteral(":رمز عبور شما")},
            {"Label7", QStringLiteral(":توضيحات")}};
        for (const auto &[name, text] : labels) {
            auto *label = dlg.findChild<QLabel *>(QString::fromLatin1(name));
            QVERIFY2(label, name);
            QCOMPARE(label->text(), text);
            QVERIFY2(label->buddy(), name);
        }
        QCOMPARE(dlg.findChild<QLabel *>("Label4")->buddy(), subject(dlg));
        QCOMPARE(dlg.findChild<QLabel *>("Label9")->buddy(), line(dlg, 12));
        QCOMPARE(dlg.findChild<QLabel *>("Label7")->buddy(),
                 dlg.findChild<QPlainTextEdit *>("Text11"));

        // Hint buttons, the plus button.
        for (int n = 1; n <= 10; ++n) {
            auto *hint = dlg.findChild<QPushButton *>(QStringLiteral("Command%1").arg(n));
            QVERIFY(hint);
            QCOMPARE(hint->text(), QStringLiteral("؟"));
            QVERIFY(!hint->accessibleName().isEmpty());
        }
        QVERIFY(!button(dlg, "Button_Add1")->icon().isNull());
        QVERIFY(!button(dlg, "Button_Add1")->accessibleName().isEmpty());
        QVERIFY(script.shown.isEmpty());
    }

    void tabOrderAndCaret()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);

        QStringList visited;
        for (int i = 0; i < 15; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, QStringList({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
                                       "Text7", "Text12", "Text8", "Text13", "Text14", "Text15",
                                       "Text9", "Text10", "Text11"}));

        // Entering a prefilled link box puts the caret after its text, not a selection.
        line(dlg, 12)->setFocus();
        QTest::keyClick(line(dlg, 12), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), line(dlg, 8));
        QVERIFY(!line(dlg, 8)->hasSelectedText());
        QCOMPARE(line(dlg, 8)->cursorPosition(), line(dlg, 8)->text().size());
        QTest::keyClicks(line(dlg, 8), "me");
        QCOMPARE(line(dlg, 8)->text(), QStringLiteral("https://www.facebook.com/me"));

        line(dlg, 1)->setFocus();
        QTest::keyClick(line(dlg, 1), Qt::Key_Tab);
        QCOMPARE(line(dlg, 2)->cursorPosition(), 7);
        QTest::keyClicks(line(dlg, 2), "a.ir");
        QCOMPARE(line(dlg, 2)->text(), QStringLiteral("http://a.ir"));
    }

    void starredFieldsRequired_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("pickSubject");
        QTest::newRow("no title") << QString() << "http://a.ir" << true;
        QTest::newRow("no address") << "A" << QString() << true;
        QTest::newRow("no subject") << "A"
                                    << "http://a.ir" << false;
    }
    void starredFieldsRequired()
    {
        QFETCH(QString, title);
        QFETCH(QString, address);
        QFETCH(bool, pickSubject);
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        type(dlg, title, address, pickSubject ? QStringLiteral("news") : QString());
        button(dlg, "Button_Save")->click();

        QCOMPARE(script.texts(), QStringList{kStarred});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
        QVERIFY(dlg.isVisible());
        QCOMPARE(line(dlg, 1)->text(), title);
        QCOMPARE(env.store->siteCount().value(), 0);
    }

    void addsNewSite()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        env.addCategory(QStringLiteral("shop"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("  My Site  "), QStringLiteral("http://my.ir"),
             QStringLiteral("shop"));
        QTest::keyClicks(line(dlg, 4), QStringLiteral(" me@my.ir "));
        QTest::keyClicks(line(dlg, 10), QStringLiteral("pw"));
        QTest::keyClicks(dlg.findChild<QPlainTextEdit *>("Text11"), QStringLiteral("hello"));
        button(dlg, "Button_Save")->click();

        QCOMPARE(script.texts(), QStringList{added(QStringLiteral("  My Site  "))});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));

        const QVector<qint64> ids = env.store->siteIds().value();
        QCOMPARE(ids.size(), 1);
        const SiteRecord rec = env.store->site(ids.first()).value();
        QCOMPARE(rec[F::Onvan], QStringLiteral("My Site"));
        QCOMPARE(rec[F::Address], QStringLiteral("http://my.ir"));
        QCOMPARE(rec[F::Mozoo], QStringLiteral("shop"));
        QCOMPARE(rec[F::Email], QStringLiteral("me@my.ir"));
        QCOMPARE(rec[F::Pass], QStringLiteral("pw"));
        QCOMPARE(rec[F::Tozihat], QStringLiteral("hello"));
        QCOMPARE(rec[F::Facebook], QStringLiteral("https://www.facebook.com/"));
        QCOMPARE(rec[F::Rss], QStringLiteral("http://my.ir/rss.xml"));
        QVERIFY(!rec[F::Modir].isNull()); // empty boxes are stored as empty texts
        QCOMPARE(rec[F::Modir], QString());
    }

    void spacesOnlyTitleStoredEmpty()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("   "), QStringLiteral("http://a.ir"), QStringLiteral("news"));
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.texts(), QStringList{added(QStringLiteral("   "))});
        QCOMPARE(env.store->site(env.store->siteIds().value().value(0))->fields[F::Onvan],
                 QString());
    }

    void duplicateTitleRefusedInNewMode()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        env.addSite(QStringLiteral("Alpha"));
        {
            Dialogs::Script script;
            SiteEditor dlg(*env.context, SiteEditor::Mode::New);
            open(dlg);
            type(dlg, QStringLiteral(" Alpha "), QStringLiteral("http://b.ir"),
                 QStringLiteral("news"));
            button(dlg, "Button_Save")->click();
            QCOMPARE(script.texts(), QStringList{kDuplicate});
            QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
            QVERIFY(dlg.isVisible());
            QCOMPARE(env.store->siteCount().value(), 1);
            QCOMPARE(QApplication::focusWidget(), line(dlg, 1));
            QCOMPARE(line(dlg, 1)->selectedText(), QStringLiteral(" Alpha "));
            QCOMPARE(line(dlg, 2)->text(), QStringLiteral("http://b.ir"));
            QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));

            // Typing replaces the selected title; a title differing in case is another site.
            QTest::keyClicks(line(dlg, 1), QStringLiteral("alpha"));
            QCOMPARE(line(dlg, 1)->text(), QStringLiteral("alpha"));
            button(dlg, "Button_Save")->click();
            QCOMPARE(script.lastText(), added(QStringLiteral("alpha")));
            QCOMPARE(env.store->siteCount().value(), 2);
        }
    }

    void editModeLoadsAndSavesById()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        const qint64 id = insertFull(env);
        QCOMPARE(id, 40001);
        env.addSite(QStringLiteral("Other"));

        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, id);
        open(dlg);
        QCOMPARE(dlg.windowTitle(), kCaptionEdit);
        QCOMPARE(button(dlg, "Button_Save")->text(), kStore);
        QCOMPARE(button(dlg, "Button_Cancel")->text(), kCancel);
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Forty"));
        QCOMPARE(line(dlg, 2)->text(), QStringLiteral("www.example.com"));
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));
        QCOMPARE(line(dlg, 4)->text(), QStringLiteral("info@example.com"));
        QCOMPARE(line(dlg, 5)->text(), QStringLiteral("Ali"));
        QCOMPARE(line(dlg, 10)->text(), QStringLiteral("secret"));
        QCOMPARE(dlg.findChild<QPlainTextEdit *>("Text11")->toPlainText(), QStringLiteral("notes"));
        QCOMPARE(line(dlg, 12)->text(), QStringLiteral("gm"));
        // The stored RSS address shows, not one made from the address.
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://feeds.example.com/main"));
        QVERIFY(!line(dlg, 1)->isReadOnly());

        // Another site's title is no obstacle in edit mode.
        line(dlg, 1)->selectAll();
        QTest::keyClicks(line(dlg, 1), QStringLiteral("Other "));
        line(dlg, 5)->clear();
        QTest::keyClicks(line(dlg, 5), QStringLiteral("Reza"));
        button(dlg, "Button_Save")->click();

        QCOMPARE(script.texts(), QStringList{updated(QStringLiteral("Other "))});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
        QVERIFY(!dlg.isVisible());
        const SiteRecord rec = env.store->site(id).value();
        QCOMPARE(rec[F::Onvan], QStringLiteral("Other"));
        QCOMPARE(rec[F::Modir], QStringLiteral("Reza"));
        QCOMPARE(rec[F::Rss], QStringLiteral("http://feeds.example.com/main"));
        QCOMPARE(env.store->site(4)->fields[F::Onvan], QStringLiteral("Four"));
        QCOMPARE(env.store->siteCount().value(), 3);
    }

    // What the database holds comes back whole from an unchanged save: a value longer than
    // a line box's default limit, notes with CR LF (and a lone LF) line breaks.
    void unchangedSaveWritesBackTheSameValues()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        QString address = QStringLiteral("http://long.example.com/");
        while (address.size() < 40012)
            address += QStringLiteral("segment/");
        address.truncate(40012);
        const QString notes = QStringLiteral("first line\r\nsecond\u00a0line\r\n\r\nlast\nlone");
        QVERIFY(env.sql("INSERT INTO Table_Site (ID, Onvan, Address, Mozoo, Tozihat, Rss) "
                        "VALUES (9, 'Nine', ?1, 'news', ?2, ?1)",
                        {address, notes}));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, 9);
        open(dlg);
        QCOMPARE(line(dlg, 2)->text().size(), 40012);
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.texts(), QStringList{updated(QStringLiteral("Nine"))});
        const SiteRecord rec = env.store->site(9).value();
        QCOMPARE(rec[F::Address].size(), 40012);
        QCOMPARE(rec[F::Address], address);
        QCOMPARE(rec[F::Rss], address);
        QCOMPARE(rec[F::Tozihat], notes);
    }

    // New lines typed into the notes are stored as CR LF, as the program always stored them.
    void typedNotesKeepCrLf()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("Typed"), QStringLiteral("typed.ir"), QStringLiteral("news"));
        auto *notes = dlg.findChild<QPlainTextEdit *>(QStringLiteral("Text11"));
        notes->setFocus();
        QTest::keyClicks(notes, QStringLiteral("one"));
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, QStringLiteral("two"));
        QTest::keyClick(notes, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(notes, QStringLiteral("three"));
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.texts(), QStringList{added(QStringLiteral("Typed"))});
        const qint64 id = env.store->siteIds().value().last();
        QCOMPARE(env.store->site(id)->fields[F::Tozihat], QStringLiteral("one\r\ntwo\r\nthree"));
    }

    // Edit mode opens with the caret in the title and nothing selected: the first key
    // typed adds to the stored title instead of replacing it.
    void editModeOpensWithoutSelection()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        const qint64 id = insertFull(env);
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, id);
        open(dlg);
        QVERIFY(line(dlg, 1)->hasFocus());
        QVERIFY(!line(dlg, 1)->hasSelectedText());
        QTest::keyClicks(line(dlg, 1), QStringLiteral("X"));
        QVERIFY2(line(dlg, 1)->text().contains(QStringLiteral("Forty")),
                 qPrintable(line(dlg, 1)->text()));
    }

    void editModeKeepsBoxesForMissingValues()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        QVERIFY(exec(env, "INSERT INTO Table_Site (ID, Onvan, Address, Mozoo) "
                          "VALUES (7, 'Seven', 'http://seven.ir', 'gone')"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, 7);
        open(dlg);
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Seven"));
        // Facebook has no value: the box keeps its prefix. RSS follows the loaded address.
        QCOMPARE(line(dlg, 8)->text(), QStringLiteral("https://www.facebook.com/"));
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://seven.ir/rss.xml"));
        // A subject no longer in the list leaves nothing picked, so saving is refused.
        QCOMPARE(subject(dlg)->currentIndex(), -1);
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.texts(), QStringList{kStarred});
        QVERIFY(dlg.isVisible());
    }

    void rssFollowsAddress()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        QTest::keyClicks(line(dlg, 2), QStringLiteral("a.ir"));
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://a.ir/rss.xml"));
        QTest::keyClicks(line(dlg, 2), QStringLiteral("/"));
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://a.ir//rss.xml"));
        line(dlg, 15)->setText(QStringLiteral("http://feeds.a.ir"));
        line(dlg, 2)->setText(QStringLiteral("http://b.ir"));
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://b.ir/rss.xml"));
    }

    void passwordMask()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        auto *check = dlg.findChild<QCheckBox *>("Check1");
        QTest::keyClicks(line(dlg, 10), QStringLiteral("abc"));
        QCOMPARE(line(dlg, 10)->displayText(), QStringLiteral("abc"));
        check->click();
        QCOMPARE(line(dlg, 10)->echoMode(), QLineEdit::Normal);
        check->click();
        QCOMPARE(line(dlg, 10)->echoMode(), QLineEdit::Password);
        QCOMPARE(line(dlg, 10)->displayText(), QStringLiteral("***"));
        QCOMPARE(QApplication::focusWidget(), line(dlg, 10));
        check->click();
        QCOMPARE(line(dlg, 10)->displayText(), QStringLiteral("abc"));
    }

    void hints_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rightAligned");
        QTest::addColumn<QString>("box");
        QTest::newRow("1") << 1 << QStringLiteral("نام سايت به فارسي وارد شود") << true << "Text1";
        QTest::newRow("2") << 2 << "http://www.example.com" << false << "Text2";
        QTest::newRow("3") << 3 << "info@example.com\r\nexample@yahoo.com\r\nexample@gmail.com"
                           << false << "Text4";
        QTest::newRow("4") << 4 << "example" << false << "Text7";
        QTest::newRow("5") << 5 << "https://www.facebook.com/example" << false << "Text8";
        QTest::newRow("6") << 6
                           << QStringLiteral(
                                  "نام کاربري و رمز عبور خود در سايت مربوطه را وارد کنيد")
                           << true << "Text9";
        QTest::newRow("7") << 7 << "example" << false << "Text12";
        QTest::newRow("8") << 8 << "https://twitter.com/example" << false << "Text13";
        QTest::newRow("9") << 9 << "https://plus.google.com/example" << false << "Text14";
        QTest::newRow("10") << 10 << "http://www.example.com/rss.xml" << false << "Text15";
    }
    void hints()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(bool, rightAligned);
        QFETCH(QString, box);
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        dlg.findChild<QPushButton *>(QStringLiteral("Command%1").arg(number))->click();
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Information);
        QCOMPARE(script.shown.first().text, text);
        QCOMPARE(script.shown.first().rightAligned, rightAligned);
        QCOMPARE(QApplication::focusWidget()->objectName(), box);
    }

    void viewModeIsReadOnly()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        env.addCategory(QStringLiteral("shop"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::View, insertFull(env));
        open(dlg);

        QCOMPARE(dlg.windowTitle(), kCaptionView);
        QCOMPARE(button(dlg, "Button_Save")->text(), kRegister);
        QVERIFY(!button(dlg, "Button_Save")->isEnabled());
        QCOMPARE(button(dlg, "Button_Cancel")->text(), kExit);
        QVERIFY(!dlg.findChild<QCheckBox *>("Check1")->isChecked());
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Forty"));
        QCOMPARE(line(dlg, 10)->displayText(), QStringLiteral("secret"));
        QCOMPARE(line(dlg, 15)->text(), QStringLiteral("http://feeds.example.com/main"));
        for (int n : {1, 2, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15})
            QVERIFY2(line(dlg, n)->isReadOnly(), qPrintable(QString::number(n)));
        QVERIFY(dlg.findChild<QPlainTextEdit *>("Text11")->isReadOnly());
        for (int n : {2, 4, 8, 13, 14, 15}) {
            QVERIFY(line(dlg, n)->font().underline());
            QCOMPARE(line(dlg, n)->toolTip(), kClickHere);
        }
        QVERIFY(!line(dlg, 1)->font().underline());
        QVERIFY(line(dlg, 1)->toolTip().isEmpty());

        // Typing changes nothing, the subject list cannot be changed, text can be selected.
        QTest::keyClicks(line(dlg, 1), QStringLiteral("x"));
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Forty"));
        subject(dlg)->setFocus();
        QTest::keyClick(subject(dlg), Qt::Key_Down);
        QTest::mouseClick(subject(dlg), Qt::LeftButton);
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));
        line(dlg, 5)->selectAll();
        QCOMPARE(line(dlg, 5)->selectedText(), QStringLiteral("Ali"));

        // Saving is impossible; the password can still be masked.
        button(dlg, "Button_Save")->click();
        QVERIFY(script.shown.isEmpty());
        auto *check = dlg.findChild<QCheckBox *>("Check1");
        check->click();
        check->click();
        QCOMPARE(line(dlg, 10)->displayText(), QStringLiteral("******"));
        QCOMPARE(env.store->site(40001)->fields[F::Onvan], QStringLiteral("Forty"));
    }

    void viewModeLinksOpen()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::View, insertFull(env));
        open(dlg);

        QTest::mouseClick(line(dlg, 2), Qt::LeftButton);
        QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl(QStringLiteral("http://www.example.com"))});
        m_catcher.urls.clear();
        QTest::mouseClick(line(dlg, 8), Qt::LeftButton);
        QTest::mouseClick(line(dlg, 14), Qt::LeftButton);
        QTest::mouseClick(line(dlg, 15), Qt::LeftButton);
        QCOMPARE(m_catcher.urls,
                 QList<QUrl>({QUrl(QStringLiteral("https://www.facebook.com/ex")),
                              QUrl(QStringLiteral("https://plus.google.com/ex")),
                              QUrl(QStringLiteral("http://feeds.example.com/main"))}));

        // An empty link box and the ordinary boxes open nothing.
        m_catcher.urls.clear();
        QCOMPARE(line(dlg, 13)->text(), QString());
        QTest::mouseClick(line(dlg, 13), Qt::LeftButton);
        QTest::mouseClick(line(dlg, 1), Qt::LeftButton);
        QTest::mouseClick(line(dlg, 5), Qt::LeftButton);
        QVERIFY(m_catcher.urls.isEmpty());

        // The e-mail box starts a message; subject and body are encoded.
        QTest::mouseClick(line(dlg, 4), Qt::LeftButton);
        QCOMPARE(m_catcher.urls.size(), 1);
        QCOMPARE(m_catcher.urls.first().scheme(), QStringLiteral("mailto"));
        QCOMPARE(m_catcher.urls.first().path(), QStringLiteral("info@example.com"));
        QCOMPARE(m_catcher.urls.first().toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:info@example.com?subject=&body="));
        m_catcher.urls.clear();
        line(dlg, 16)->setText(QStringLiteral("a&b #1"));
        line(dlg, 17)->setText(QStringLiteral("سلام"));
        QTest::mouseClick(line(dlg, 4), Qt::LeftButton);
        QCOMPARE(m_catcher.urls.size(), 1);
        const QString sent = m_catcher.urls.first().toString(QUrl::FullyEncoded);
        QCOMPARE(sent, QStringLiteral("mailto:info@example.com?subject=a%26b%20%231&body=%D8%B3%D9"
                                      "%84%D8%A7%D9%85"));

        // A drag that selects text opens nothing.
        m_catcher.urls.clear();
        line(dlg, 2)->setSelection(0, 3);
        QTest::mouseRelease(line(dlg, 2), Qt::LeftButton);
        QVERIFY(m_catcher.urls.isEmpty());
    }

    void linksInertOutsideViewMode()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        const qint64 id = insertFull(env);
        Dialogs::Script script;
        {
            SiteEditor dlg(*env.context, SiteEditor::Mode::New);
            open(dlg);
            for (int n : {2, 4, 8, 13, 14, 15}) {
                QTest::mouseClick(line(dlg, n), Qt::LeftButton);
                QCOMPARE(line(dlg, n)->cursor().shape(), Qt::IBeamCursor);
                QVERIFY(!line(dlg, n)->font().underline());
            }
        }
        {
            SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, id);
            open(dlg);
            QCOMPARE(dlg.windowTitle(), kCaptionEdit);
            for (int n : {2, 4, 8, 13, 14, 15}) {
                QTest::mouseClick(line(dlg, n), Qt::LeftButton);
                QCOMPARE(line(dlg, n)->cursor().shape(), Qt::IBeamCursor);
            }
        }
        QVERIFY(m_catcher.urls.isEmpty());
        QVERIFY(script.shown.isEmpty());
    }

    void handPointerOnlyOnViewLinks()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::View, insertFull(env));
        open(dlg);
        for (int n = 1; n <= 15; ++n) {
            if (n == 3 || n == 11)
                continue;
            const bool link = QList<int>({2, 4, 8, 13, 14, 15}).contains(n);
            // Locked boxes that are no links show the platform's read-only pointer.
            QCOMPARE(line(dlg, n)->cursor().shape() == zorbin::common::handPointerShape(), link);
        }
        QCOMPARE(zorbin::common::handPointerShape(), Qt::PointingHandCursor);
    }

    void subjectsAndCategoryWindow()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        QCOMPARE(subject(dlg)->count(), 0);
        type(dlg, QStringLiteral("A"), QStringLiteral("http://a.ir"), QString());
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.texts(), QStringList{kStarred});

        // A subject added in the category window shows when it closes; typing stays.
        script.onWindow = [&env](QDialog &) { env.addCategory(QStringLiteral("news")); };
        button(dlg, "Button_Add1")->click();
        QCOMPARE(script.shown.last().className, QStringLiteral("zorbin::sites::SubjectsWindow"));
        QCOMPARE(subject(dlg)->count(), 1);
        QCOMPARE(subject(dlg)->currentIndex(), -1);
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("A"));
        QCOMPARE(dlg.windowTitle(), kCaptionNew);

        pick(dlg, QStringLiteral("news"));
        // The list is rebuilt on return and loses its pick; with no subjects left it stays.
        script.onWindow = [&env](QDialog &) {
            for (const auto &c :
                 QVector<zorbin::store::CategoryRecord>(env.store->categories().value()))
                QVERIFY(env.store->deleteCategory(c.id));
        };
        button(dlg, "Button_Add1")->click();
        QCOMPARE(subject(dlg)->count(), 1);
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));

        pick(dlg, QStringLiteral("news"));
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.lastText(), added(QStringLiteral("A")));
        QCOMPARE(env.store->siteCount().value(), 1);
    }

    void viewModeSurvivesCategoryWindow()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::View, insertFull(env));
        open(dlg);
        script.onWindow = [&env](QDialog &) { env.addCategory(QStringLiteral("shop")); };
        button(dlg, "Button_Add1")->click();
        QCOMPARE(subject(dlg)->count(), 2);
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));
        QCOMPARE(dlg.windowTitle(), kCaptionView);
        QVERIFY(line(dlg, 2)->isReadOnly());
        QCOMPARE(line(dlg, 2)->cursor().shape(), Qt::PointingHandCursor);
    }

    void recordInAndOut()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        QVERIFY(exec(env, "INSERT INTO Table_Site (ID, Onvan, Address, Mozoo) "
                          "VALUES (42, 'x', 'http://x.ir', 'news')"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, 42);
        open(dlg);
        zorbin::store::SiteRecord record;
        record.id = 42;
        for (int f = 1; f < zorbin::store::SiteFieldCount; ++f)
            record.fields[size_t(f)] = QStringLiteral("value %1").arg(f);
        record[F::Mozoo] = QStringLiteral("news");
        dlg.setRecord(record);
        // Each field lands in the box of its own number.
        for (int n = 1; n <= 15; ++n) {
            if (n == 3 || n == 11)
                continue;
            QCOMPARE(line(dlg, n)->text(), record.fields[size_t(n)]);
        }
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));
        QCOMPARE(dlg.findChild<QPlainTextEdit *>(QStringLiteral("Text11"))->toPlainText(),
                 record[F::Tozihat]);
        const zorbin::store::SiteRecord back = dlg.record();
        QCOMPARE(back.id, qint64(42));
        for (int f = 1; f < zorbin::store::SiteFieldCount; ++f)
            QCOMPARE(back.fields[size_t(f)], record.fields[size_t(f)]);
        // A NULL field leaves its box as it was.
        zorbin::store::SiteRecord partial;
        partial[F::Onvan] = QStringLiteral("other");
        dlg.setRecord(partial);
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("other"));
        QCOMPARE(line(dlg, 2)->text(), record[F::Address]);
        QVERIFY(script.shown.isEmpty());
    }

    void refusedSaveKeepsInput()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("Kept"), QStringLiteral("http://kept.ir"), QStringLiteral("news"));
        QVERIFY(exec(env, "DROP TABLE Table_Site"));
        button(dlg, "Button_Save")->click();

        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
        QVERIFY(!script.shown.first().text.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Kept"));
        QCOMPARE(line(dlg, 2)->text(), QStringLiteral("http://kept.ir"));
        QCOMPARE(subject(dlg)->currentText(), QStringLiteral("news"));
    }

    void refusedUpdateKeepsInput()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, insertFull(env));
        open(dlg);
        line(dlg, 1)->setText(QStringLiteral("Changed"));
        // The record went away meanwhile.
        QVERIFY(exec(env, "DELETE FROM Table_Site WHERE ID = 40001"));
        button(dlg, "Button_Save")->click();
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
        QVERIFY(dlg.isVisible());
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Changed"));
    }

    void missingRecordIsReported()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        SiteEditor dlg(*env.context, SiteEditor::Mode::View, 123456);
        open(dlg);
        QTRY_COMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
    }

    void escapeAndCancelClose()
    {
        TestEnv &env = *m_env;
        const qint64 id = insertFull(env);
        for (bool escape : {true, false}) {
            Dialogs::Script script;
            SiteEditor dlg(*env.context, SiteEditor::Mode::Edit, id);
            open(dlg);
            if (escape) {
                auto *notes = dlg.findChild<QPlainTextEdit *>("Text11");
                notes->setFocus();
                QTest::keyClick(notes, Qt::Key_Escape);
            } else {
                button(dlg, "Button_Cancel")->click();
            }
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QVERIFY(script.shown.isEmpty());
            QCOMPARE(env.store->site(40001)->fields[F::Onvan], QStringLiteral("Forty"));
        }
    }
};

QTEST_MAIN(TestSiteEditor)
#include "tst_siteeditor.moc"
