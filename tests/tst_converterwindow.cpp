// The converter's window driven as a user would: its states, the dialogs and messages of
// each step, a whole run ending in a backup Zorbin's store opens with every record.

#include "../bench/converter/v1database.h"
#include "common/dialogs.h"
#include "converter/converterguide.h"
#include "converter/converterwindow.h"
#include "helpers/conversiontestcase.h"
#include "helpers/urlcatcher.h"
#include "store/connectiontext.h"
#include "store/store.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

using zorbin::converter::ConverterGuide;
using zorbin::converter::ConverterWindow;

using zorbin::benchdata::TableRows;
using zorbin::common::Dialogs;
using zorbin::store::Store;

namespace {

// The version 1.0 database the window converts: a user, five Persian sites, two subjects
// and no contacts.
bool writeSource(const QString &path)
{
    TableRows t[4];
    t[0] = {1, [](qint64, QStringList &v) {
                v << "old"
                  << "1"
                  << "q"
                  << "a";
            }};
    t[1] = {5, [](qint64 i, QStringList &v) {
                for (int c = 0; c < 11; ++c)
                    v << QString::fromUtf8("سایت %1").arg(i * 11 + c);
            }};
    t[2] = {2, [](qint64 i, QStringList &v) { v << QStringLiteral("cat%1").arg(i); }};
    t[3] = {0, {}};
    return zorbin::benchdata::makeVersion1Database(path, t);
}

template <class T> T *child(ConverterWindow &w, const char *name)
{
    return w.findChild<T *>(QString::fromLatin1(name));
}

// Which of the step controls are enabled, in the order of the window.
QString enabledControls(ConverterWindow &w)
{
    QStringList on;
    for (const char *name :
         {"Text1", "BrowseOpen", "AnalysisDB", "ConvertDB", "Text2", "BrowseSave", "SaveDB"}) {
        auto *widget = w.findChild<QWidget *>(QString::fromLatin1(name));
        if (widget && widget->isEnabled())
            on << QString::fromLatin1(name);
    }
    return on.join(' ');
}

void click(ConverterWindow &w, const char *name)
{
    auto *b = child<QPushButton>(w, name);
    QVERIFY(b);
    b->click();
}

} // namespace

// Each test case gets a fresh data folder and a fresh source; the backups go beside it.
class TestConverterWindow : public ConversionTestCase
{
    Q_OBJECT
public:
    TestConverterWindow() : ConversionTestCase(QStringLiteral("Zorbin-DB.dbb")) {}

private:
    bool makeSource(const QString &path) override { return writeSource(path); }

    QString data() const { return m_env->dir.path(); }

private slots:
    void wholeRun();
    void emptyPathsAndCancelledDialogs();
    void failedAnalysisStaysInFirstState();
    void failedSaveKeepsProgramOpen();
    void aboutAndGuide();
    void damagedBackupIsRefusedWhole();
    void refusalsHaveTheirOwnMessages();
    void browseButtonsShareOneWidth();
#ifdef ZORBIN_SCREENSHOTS
    // Under a real display (ZORBIN_SHOT=folder): the window in each state, the guide and
    // the about box.
    void screenshots();
#endif
};

void TestConverterWindow::wholeRun()
{
    ConverterWindow w(data());
    w.show();
    QCOMPARE(w.layoutDirection(), Qt::LeftToRight);
    QCOMPARE(enabledControls(w), QStringLiteral("Text1 BrowseOpen AnalysisDB"));

    Dialogs::Script script;
    script.fileNames << m_source;
    click(w, "BrowseOpen");
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), m_source);
    QCOMPARE(script.shown.last().kind, Dialogs::Kind::OpenFile);

    // Converting before the analysis does nothing.
    w.convertDatabase();
    QCOMPARE(w.state(), ConverterWindow::State::ChoosingSource);

    click(w, "AnalysisDB");
    QCOMPARE(child<QLabel>(w, "Label3")->text(), QStringLiteral("Analysis Database Completed."));
    QCOMPARE(w.state(), ConverterWindow::State::Analysed);
    QCOMPARE(enabledControls(w), QStringLiteral("ConvertDB"));
    QCOMPARE(script.shown.size(), 1); // no message after a completed analysis

    click(w, "ConvertDB");
    QCOMPARE(script.shown.last().kind, Dialogs::Kind::Information);
    QCOMPARE(script.shown.last().title, QStringLiteral("Done"));
    QCOMPARE(script.shown.last().text, QStringLiteral("Convert Database Completed.  "));
    QCOMPARE(w.state(), ConverterWindow::State::Converted);
    QCOMPARE(enabledControls(w), QStringLiteral("Text2 BrowseSave SaveDB"));
    // Converting runs once a run.
    w.convertDatabase();
    QCOMPARE(script.shown.size(), 2);

    // A name typed without extension gets the backup extension.
    const QString backup = workPath("converted");
    script.fileNames << backup;
    click(w, "BrowseSave");
    QCOMPARE(child<QLineEdit>(w, "Text2")->text(), backup + ".dbb");
    click(w, "SaveDB");
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("Save Database Completed."));
    QCOMPARE(script.shown.last().text, QStringLiteral("Save Database Completed.  "));
    QCOMPARE(script.shown.last().title, QStringLiteral("Done"));
    QCOMPARE(w.state(), ConverterWindow::State::Ended);
    QVERIFY(!w.isVisible());
    QCOMPARE(enabledControls(w), QString());

    QTemporaryDir restored;
    QVERIFY(QFile::copy(backup + ".dbb", QDir(restored.path()).filePath("ZBDB.mdb")));
    auto store = Store::open(zorbin::store::connectionText(restored.path())).value_or(nullptr);
    QVERIFY(store);
    QCOMPARE(store->siteCount().value(), 5);
    QCOMPARE(store->categoryCount().value(), 2);
    QCOMPARE(store->users().value().size(), 2);
}

void TestConverterWindow::emptyPathsAndCancelledDialogs()
{
    ConverterWindow w(data());
    Dialogs::Script script;
    click(w, "AnalysisDB");
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown[0].kind, Dialogs::Kind::Exclamation);
    QCOMPARE(script.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(script.shown[0].text, QStringLiteral("Invalid Address for Analysis Database !  "));
    QVERIFY(!script.shown[0].rightAligned);
    QCOMPARE(w.state(), ConverterWindow::State::ChoosingSource);

    // A cancelled dialog, or one returning its initial name, leaves the box empty.
    child<QLineEdit>(w, "Text1")->setText("typed before");
    click(w, "BrowseOpen");
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), QString());
    script.fileNames << "Zorbin-DB.dbb";
    click(w, "BrowseOpen");
    QCOMPARE(child<QLineEdit>(w, "Text1")->text(), QString());

    child<QLineEdit>(w, "Text1")->setText(m_source);
    click(w, "AnalysisDB");
    click(w, "ConvertDB");
    QCOMPARE(w.state(), ConverterWindow::State::Converted);
    script.fileNames << "ZBDB";
    click(w, "BrowseSave");
    QCOMPARE(child<QLineEdit>(w, "Text2")->text(), QString());
    click(w, "SaveDB");
    QCOMPARE(script.shown.last().text, QStringLiteral("Invalid Address for Save Database !  "));
    QCOMPARE(script.shown.last().title, QStringLiteral("Error"));
    QCOMPARE(w.state(), ConverterWindow::State::Converted);
}

void TestConverterWindow::failedAnalysisStaysInFirstState()
{
    ConverterWindow w(data());
    Dialogs::Script script;
    const QString bogus = workPath("notes.mdb");
    QFile f(bogus);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'z'));
    f.close();
    child<QLineEdit>(w, "Text1")->setText(bogus);
    click(w, "AnalysisDB");
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown[0].title, QStringLiteral("Error"));
    QVERIFY(!script.shown[0].text.contains("Completed"));
    QCOMPARE(w.state(), ConverterWindow::State::ChoosingSource);
    QCOMPARE(child<QLabel>(w, "Label3")->text(), QStringLiteral("..."));
    QCOMPARE(enabledControls(w), QStringLiteral("Text1 BrowseOpen AnalysisDB"));

    // Another file can be chosen in the same run.
    child<QLineEdit>(w, "Text1")->setText(m_source);
    click(w, "AnalysisDB");
    QCOMPARE(w.state(), ConverterWindow::State::Analysed);
}

void TestConverterWindow::failedSaveKeepsProgramOpen()
{
    ConverterWindow w(data());
    w.show();
    Dialogs::Script script;
    child<QLineEdit>(w, "Text1")->setText(m_source);
    click(w, "AnalysisDB");
    click(w, "ConvertDB");
    const QString nowhere = workPath("missing/folder/x.dbb");
    child<QLineEdit>(w, "Text2")->setText(nowhere);
    click(w, "SaveDB");
    QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
    QVERIFY(script.shown.last().text.contains(nowhere));
    for (const auto &shown : script.shown)
        QVERIFY(!shown.text.startsWith("Save Database Completed"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("..."));
    QCOMPARE(w.state(), ConverterWindow::State::Converted);
    QVERIFY(w.isVisible());
}

void TestConverterWindow::aboutAndGuide()
{
    const QStringList lines = ConverterWindow::aboutText().split("\r\n");
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.mid(0, 3), (QStringList{"Convert Database for Zorbin", "of v1.0 to v2.0",
                                           "-------------------------"}));
    ConverterWindow w(data());
    {
        Dialogs::Script script;
        w.findChild<QAction *>("M_About")->trigger();
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown[0].kind, Dialogs::Kind::Information);
        QCOMPARE(script.shown[0].title, QString());
        QCOMPARE(script.shown[0].text, ConverterWindow::aboutText());
    }
    // The guide is modal, owned by the window; Escape closes it.
    {
        Dialogs::Script script;
        QString title;
        int groups = 0;
        QWidget *owner = nullptr;
        bool closedByEscape = false;
        script.onWindow = [&](QDialog &guide) {
            title = guide.windowTitle();
            groups = int(guide.findChildren<QGroupBox *>().size());
            owner = guide.parentWidget();
            QTest::keyClick(&guide, Qt::Key_Escape);
            closedByEscape = !guide.isVisible();
        };
        w.findChild<QAction *>("M_Guide")->trigger();
        const auto windows = script.of(Dialogs::Kind::Window);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0].className, QStringLiteral("zorbin::converter::ConverterGuide"));
        QCOMPARE(windows[0].text, QStringLiteral("Form2"));
        QCOMPARE(title, QStringLiteral("Guide"));
        QCOMPARE(groups, 3);
        QCOMPARE(owner, &w);
        QVERIFY(closedByEscape);
    }
    // Website hands the maker's home page to the browser.
    UrlCatcher catcher;
    w.findChild<QAction *>("M_Site")->trigger();
    QCOMPARE(catcher.urls.size(), 1);
    QVERIFY(catcher.urls[0].isValid());
    // The menu works in every state; Exit ends the program.
    w.show();
    w.findChild<QAction *>("M_Exit")->trigger();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.state(), ConverterWindow::State::Ended);
}

void TestConverterWindow::damagedBackupIsRefusedWhole()
{
    // The version 1.0 sample with its last page of memo values (the contacts' long
    // addresses) zeroed: the analysis passes, the conversion finds the damage.
    QFile sample(QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray bytes = sample.readAll();
    const qsizetype page = bytes.lastIndexOf("LVAL") / 4096;
    QVERIFY(page > 2);
    bytes.replace(page * 4096, 4096, QByteArray(4096, '\0'));
    const QString damaged = workPath("damaged.mdb");
    QFile out(damaged);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
    out.close();
    QFile target(QDir(data()).filePath("ZBDB.mdb"));
    QVERIFY(target.open(QIODevice::ReadOnly));
    const QByteArray before = target.readAll();
    target.close();

    ConverterWindow w(data());
    w.show();
    Dialogs::Script script;
    child<QLineEdit>(w, "Text1")->setText(damaged);
    click(w, "AnalysisDB");
    QCOMPARE(w.state(), ConverterWindow::State::Analysed);
    click(w, "ConvertDB");
    QCOMPARE(script.shown.size(), 1);
    QCOMPARE(script.shown[0].kind, Dialogs::Kind::Error);
    QCOMPARE(script.shown[0].title, QStringLiteral("Error"));
    QVERIFY2(script.shown[0].text.contains("damaged"), qPrintable(script.shown[0].text));
    QVERIFY(script.shown[0].text.contains("Nothing was added"));
    QVERIFY(!script.texts().contains(QStringLiteral("Convert Database Completed.  ")));
    QCOMPARE(w.state(), ConverterWindow::State::Analysed);
    QVERIFY(!child<QPushButton>(w, "SaveDB")->isEnabled());
    w.close();
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), before);
}

void TestConverterWindow::refusalsHaveTheirOwnMessages()
{
    const QString text = workPath("notes.txt");
    QFile out(text);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QByteArray("a letter, not a database\r\n").repeated(300));
    out.close();
    const QString backup = workPath("v2.dbb");
    QVERIFY(m_env->store->backupTo(backup));
    const QString cut = workPath("cut.mdb");
    QVERIFY(QFile::copy(QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb"), cut));
    QVERIFY(QFile::setPermissions(cut, QFile::ReadOwner | QFile::WriteOwner));
    QFile cutFile(cut);
    QVERIFY(cutFile.resize(cutFile.size() - 1000));
    const QList<std::pair<QString, QString>> cases{
        {cut, "The backup is damaged and cannot be converted."},
        {text, "The file is not a database."},
        {QStringLiteral(ZORBIN_TEST_DATA "/jet/mdb-reader_V2000_with-password.mdb"),
         "The database does not open with Zorbin's password."},
        {backup, "This file is already a version 2.0 database: restore it in Zorbin (Bank "
                 "menu, Restore)."},
    };
    for (const auto &[file, headline] : cases) {
        ConverterWindow w(data());
        Dialogs::Script script;
        child<QLineEdit>(w, "Text1")->setText(file);
        click(w, "AnalysisDB");
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(script.shown[0].text.section(QStringLiteral("\r\n"), 0, 0), headline);
        QCOMPARE(w.state(), ConverterWindow::State::ChoosingSource);
    }
}

void TestConverterWindow::browseButtonsShareOneWidth()
{
    ConverterWindow w(data());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *open = child<QPushButton>(w, "BrowseOpen");
    auto *save = child<QPushButton>(w, "BrowseSave");
    QCOMPARE(open->width(), save->width());
    // Their path boxes line up as well.
    QCOMPARE(child<QLineEdit>(w, "Text1")->width(), child<QLineEdit>(w, "Text2")->width());
}

#ifdef ZORBIN_SCREENSHOTS
void TestConverterWindow::screenshots()
{
    const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
    if (folder.isEmpty())
        QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
    auto shoot = [&](const QString &name) {
        QTest::qWait(400);
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(
            QStringLiteral("%1/converter-%2.png").arg(folder, name)));
    };
    ConverterWindow w(data());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    shoot("1-choosing");
    w.findChild<QMenu *>("mnu1")->popup(w.mapToGlobal(QPoint(8, 24)));
    shoot("1-menu");
    w.findChild<QMenu *>("mnu1")->close();
    // Each message the window gives is shown as the real box the seam makes for it.
    auto shootBox = [&](const Dialogs::Shown &shown, const QString &name) {
        auto box = Dialogs::messageBox(&w, shown.kind, shown.text, shown.rightAligned, shown.title);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        shoot(name);
    };
    Dialogs::Script script;
    child<QLineEdit>(w, "Text1")->setText(workPath("missing.dbb"));
    click(w, "AnalysisDB");
    shootBox(script.shown.last(), "1-analysis-error");
    // The refusals, each with its own message.
    const QString cut = workPath("cut.mdb");
    QVERIFY(QFile::copy(QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.mdb"), cut));
    QVERIFY(QFile::setPermissions(cut, QFile::ReadOwner | QFile::WriteOwner));
    QFile cutFile(cut);
    QVERIFY(cutFile.resize(cutFile.size() - 1000));
    const QString backup = workPath("v2.dbb");
    QVERIFY(m_env->store->backupTo(backup));
    const QList<std::pair<QString, QString>> refused{
        {cut, "damaged"},
        {QStringLiteral(ZORBIN_TEST_DATA "/jet/zorbin-v1-sample.expected.json"), "not-database"},
        {QStringLiteral(ZORBIN_TEST_DATA "/jet/mdb-reader_V2000_with-password.mdb"), "password"},
        {backup, "version2"}};
    for (const auto &[path, name] : refused) {
        child<QLineEdit>(w, "Text1")->setText(path);
        click(w, "AnalysisDB");
        shootBox(script.shown.last(), QStringLiteral("1-refused-") + name);
    }
    child<QLineEdit>(w, "Text1")->setText(m_source);
    click(w, "AnalysisDB");
    shoot("2-analysed");
    click(w, "ConvertDB");
    shootBox(script.shown.last(), "convert-done");
    child<QLineEdit>(w, "Text2")->setText(workPath("backup.dbb"));
    shoot("3-converted");
    ConverterGuide guide(&w);
    guide.show();
    QVERIFY(QTest::qWaitForWindowExposed(&guide));
    shoot("guide");
    guide.close();
    w.showAbout();
    shootBox(script.shown.last(), "about");
    click(w, "SaveDB");
    shootBox(script.shown.last(), "save-done");
    shoot("4-ended");
}
#endif

QTEST_MAIN(TestConverterWindow)
#include "tst_converterwindow.moc"
