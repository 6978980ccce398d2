#include "common/dialogs.h"
#include "contacts/contactlistmodel.h"
#include "contacts/phonebookwindow.h"
#include "helpers/testfiles.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"
#include "mainwin/commands.h"
#include "mainwin/siteactions.h"
#include "store/importoutcome.h"
#include "store/store.h"
#include "tools/importwindow.h"
#include "tools/recordexport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using zorbin::common::Dialogs;
using zorbin::mainwin::SiteActions;
using zorbin::mainwin::SiteListAccess;
using zorbin::tools::ImportWindow;
using zorbin::tools::RecordExport;

namespace {

QString data(const char *name)
{
    return QStringLiteral(ZORBIN_TEST_DATA "/import/") + QLatin1StringView(name);
}

// The main window's list as the site actions see it: the rows it is told to show.
struct ShownSites : SiteListAccess
{
    QVector<zorbin::store::SiteListRow> rows;
    int reloads = 0;
    int shownCount() const override { return int(rows.size()); }
    qint64 selectedId() const override { return 0; }
    QString selectedTitle() const override { return {}; }
    QString selectedAddress() const override { return {}; }
    QString selectedMobile() const override { return {}; }
    QVector<zorbin::store::SiteListRow> shownRows() const override { return rows; }
    void reloadList() override { ++reloads; }
    void focusSearch() override {}
};

QByteArray fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstImportWindow : public WindowTestCase
{
    Q_OBJECT

    zorbin::store::Store &store() { return m_env->context->store; }

private slots:
    // The preview counts and lists before anything is written; "ثبت" then writes it all.
    void previewThenImport()
    {
        Dialogs::Script script;
        script.fileNames = {data("chromium.csv")};
        ImportWindow w(*m_env->context, ImportWindow::Kind::Sites);
        QVERIFY(w.chooseFile());
        QCOMPARE(script.of(Dialogs::Kind::OpenFile).size(), 1);
        QVERIFY(
            child<QLabel>(w, "Summary")->text().startsWith(QStringLiteral("2 سايت اضافه مي شود.")));
        auto *refused = child<QTableWidget>(w, "Refused");
        QCOMPARE(refused->rowCount(), 2);
        QCOMPARE(refused->item(0, 0)->text(), QStringLiteral("5"));
        QCOMPARE(refused->item(0, 1)->text(),
                 zorbin::store::refusalText(zorbin::store::Refusal::Malformed));
        QCOMPARE(store().siteCount().value(), 0);
        child<QPushButton>(w, "Button_Save")->click();
        QCOMPARE(script.lastText(), QStringLiteral("2 سايت ثبت شد"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(store().siteCount().value(), 2);
    }

    // A file refused as a whole is named in a message and the window is not shown.
    void refusedFile()
    {
        Dialogs::Script script;
        script.fileNames = {data("windows1256.csv"), data("notimage.vcf")};
        ImportWindow sites(*m_env->context, ImportWindow::Kind::Sites);
        QVERIFY(!sites.chooseFile());
        QCOMPARE(script.of(Dialogs::Kind::Exclamation).size(), 1);
        QVERIFY(script.lastText().contains(QStringLiteral("ويندوز 1256")));
        // A card refused leaves nothing to add: "ثبت" stays disabled.
        ImportWindow contacts(*m_env->context, ImportWindow::Kind::Contacts);
        QVERIFY(contacts.chooseFile());
        QVERIFY(!child<QPushButton>(contacts, "Button_Save")->isEnabled());
        QCOMPARE(child<QTableWidget>(contacts, "Refused")->item(0, 1)->text(),
                 zorbin::store::refusalText(zorbin::store::Refusal::NotPicture));
    }

    // Columns of a file no program named are mapped by hand; repeated titles numbered.
    void mappedByHand()
    {
        const QString path = m_env->dir.path() + QStringLiteral("/other.csv");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Label,Link,Login,Secret\nbank,https://b.example,me,pw\nbank,https://"
                "c.example,me,pw\n");
        f.close();
        m_env->addSite(QStringLiteral("bank"));
        ImportWindow w(*m_env->context, ImportWindow::Kind::Sites);
        QVERIFY(w.load(path));
        QVERIFY(child<QLabel>(w, "LayoutLabel")->text().contains(QStringLiteral("شناخته نشد")));
        QCOMPARE(w.outcome().added, 2);                     // titles from the addresses' hosts
        child<QComboBox>(w, "Column1")->setCurrentIndex(1); // Label
        QCOMPARE(w.outcome().added, 0);
        QCOMPARE(w.outcome().byReason[size_t(zorbin::store::Refusal::TitleStored)], 2);
        child<QCheckBox>(w, "NumberTitles")->setChecked(true);
        QCOMPARE(w.outcome().added, 2);
        child<QComboBox>(w, "Column4")->setCurrentIndex(4); // Secret
        Dialogs::Script script;
        child<QPushButton>(w, "Button_Save")->click();
        const auto ids = store().siteIds().value();
        QCOMPARE(store().site(ids[1]).value()[zorbin::store::Onvan], QStringLiteral("bank (2)"));
        QCOMPARE(store().site(ids[2]).value()[zorbin::store::Onvan], QStringLiteral("bank (3)"));
        QCOMPARE(store().site(ids[2]).value()[zorbin::store::Pass], QStringLiteral("pw"));
    }

    // Saving sites warns of the clear passwords first; No writes nothing. Only the shown
    // rows are written when the user says so; the file is 0600.
    void exportWarnsFirst()
    {
        const qint64 a = m_env->addSite(QStringLiteral("a"));
        m_env->addSite(QStringLiteral("b"));
        const QString path = m_env->dir.path() + QStringLiteral("/sites.csv");
        {
            Dialogs::Script script;
            script.replies = {Dialogs::Reply::No, Dialogs::Reply::No};
            script.fileNames = {path};
            QVERIFY(!RecordExport::exportSites(*m_env->context, {a}, nullptr));
            QCOMPARE(script.lastText(), RecordExport::passwordWarning());
            QVERIFY(!QFile::exists(path));
        }
        Dialogs::Script script;
        script.replies = {Dialogs::Reply::Yes, Dialogs::Reply::Yes};
        script.fileNames = {path};
        QVERIFY(RecordExport::exportSites(*m_env->context, {a}, nullptr));
        QCOMPARE(script.lastText(), QStringLiteral("1 سايت در فايل ذخيره شد"));
        QCOMPARE(fileMode(path), 0600);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count('\n'), 2);
    }

    // The tools menu imports and exports sites (the rows the list shows, when the user
    // says so); the phone book's buttons do the same with vCards.
    void reachedFromMenuAndPhoneBook()
    {
        QWidget owner;
        ShownSites list;
        SiteActions actions(*m_env->context, list, &owner);
        const auto save = [](QDialog &window) {
            child<QPushButton>(window, "Button_Save")->click();
        };
        const QString csv = m_env->dir.path() + QStringLiteral("/out.csv");
        {
            Dialogs::Script script;
            script.fileNames = {data("keepassxc.csv"), csv};
            script.onWindow = save;
            actions.dispatch(zorbin::mainwin::Command::ImportSites);
            QCOMPARE(script.of(Dialogs::Kind::Window).first().className,
                     QStringLiteral("zorbin::tools::ImportWindow"));
            QCOMPARE(store().siteCount().value(), 3);
            QCOMPARE(list.reloads, 1);
            list.rows = {store().siteListRow(store().siteIds().value().last()).value()};
            script.replies = {Dialogs::Reply::Yes, Dialogs::Reply::Yes};
            actions.dispatch(zorbin::mainwin::Command::ExportSites);
            QCOMPARE(script.lastText(), QStringLiteral("1 سايت در فايل ذخيره شد"));
        }
        QVERIFY(fileText(csv).endsWith("\"Root\",\"Email\",\"me@example.com\",\"m41l\","
                                       "\"https://mail.example.com\",\"\",\"\",\"\",\"\",\"\"\n"));

        const QString vcf = m_env->dir.path() + QStringLiteral("/out.vcf");
        Dialogs::Script script;
        script.fileNames = {data("gnome.vcf"), vcf};
        script.onWindow = save;
        zorbin::contacts::PhoneBookWindow phone(*m_env->context);
        child<QPushButton>(phone, "Button_Import")->click();
        QCOMPARE(store().contactCount().value(), 1);
        QCOMPARE(phone.model().rowCount(), 1);
        child<QPushButton>(phone, "Button_Export")->click();
        QCOMPARE(script.lastText(), QStringLiteral("1 مخاطب در فايل ذخيره شد"));
        QVERIFY(fileText(vcf).contains("FN:Sara Karimi\r\n"));
    }

    // Pictures for a person to look at, when ZORBIN_IMPORT_SHOTS names a folder (run under
    // a real display with a window manager).
    void screens()
    {
        const QString shots = qEnvironmentVariable("ZORBIN_IMPORT_SHOTS");
        if (shots.isEmpty())
            QSKIP("ZORBIN_IMPORT_SHOTS is not set");
        const auto shoot = [&](const QString &name) {
            for (int i = 0; i < 10; ++i)
                QTest::qWait(50);
            QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QStringLiteral("root"),
                               QDir(shots).filePath(name + QStringLiteral(".png"))});
        };
        m_env->addSite(QStringLiteral("Email"));
        ImportWindow w(*m_env->context, ImportWindow::Kind::Sites);
        QVERIFY(w.load(data("chromium.csv")));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        shoot(QStringLiteral("import-sites"));
        w.close();
        ImportWindow c(*m_env->context, ImportWindow::Kind::Contacts);
        QVERIFY(c.load(data("phone.vcf")));
        c.show();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        shoot(QStringLiteral("import-contacts"));
        c.close();
        zorbin::contacts::PhoneBookWindow phone(*m_env->context);
        phone.show();
        QVERIFY(QTest::qWaitForWindowActive(&phone));
        shoot(QStringLiteral("phone-book-buttons"));
        phone.close();
        auto box = Dialogs::messageBox(nullptr, Dialogs::Kind::Question,
                                       RecordExport::passwordWarning(), true);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        shoot(QStringLiteral("export-warning"));
    }
};

QTEST_MAIN(TstImportWindow)
#include "tst_importwindow.moc"
