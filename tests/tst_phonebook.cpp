#include "common/dialogs.h"
#include "contacts/contacteditor.h"
#include "contacts/contactlistmodel.h"
#include "contacts/contactlistreport.h"
#include "contacts/phonebookwindow.h"
#include "helpers/urlcatcher.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"
#include "mainwin/commands.h"
#include "mainwin/siteactions.h"
#include "store/pictures.h"
#include "store/text.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTableView>
#include <QTest>
#include <memory>

using zorbin::contacts::ContactEditor;
using zorbin::contacts::ContactListReport;
using zorbin::contacts::PhoneBookWindow;
using zorbin::mainwin::SiteActions;
using zorbin::mainwin::SiteListAccess;

using zorbin::common::Dialogs;
using zorbin::store::ContactListRow;
using zorbin::store::ContactRecord;

namespace {

const QString kStarred = QStringLiteral(" لطفاً فيلدهاي ستاره دار را وارد کنيد");
const QString kDuplicate = QStringLiteral("مخاطبي با اين شماره تلفن همراه قبلاً ثبت شده است ");

QString added(const QString &typed)
{
    return QStringLiteral(" مخاطب ") + typed + QStringLiteral(" ثبت شد ");
}
QString updated(const QString &typed)
{
    return QStringLiteral(" اطلاعات مخاطب ") + typed + QStringLiteral(" به روز شد");
}

QImage filled(const QColor &color, int w = 40, int h = 50)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool near(QRgb a, const QColor &b)
{
    return std::abs(qRed(a) - b.red()) < 24 && std::abs(qGreen(a) - b.green()) < 24 &&
           std::abs(qBlue(a) - b.blue()) < 24;
}

// The site list the command table's actions need; the phone book uses none of it.
struct NoSites : SiteListAccess
{
    int shownCount() const override { return 0; }
    qint64 selectedId() const override { return 0; }
    QString selectedTitle() const override { return {}; }
    QString selectedAddress() const override { return {}; }
    QString selectedMobile() const override { return {}; }
    QVector<zorbin::store::SiteListRow> shownRows() const override { return {}; }
    void reloadList() override {}
    void focusSearch() override {}
};

QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPhoneBook : public WindowTestCase
{
    Q_OBJECT

private:
    UrlCatcher m_catcher;

    void prepareCase() override { m_catcher.urls.clear(); }

    qint64 addContact(const QString &name, const QString &mobile, const QString &group = "friends",
                      const QString &email = QString())
    {
        ContactRecord r;
        r.name = name;
        r.group = group;
        r.mobile = mobile;
        r.email = email;
        r.job = QStringLiteral("job");
        const auto id = m_env->store->insertContact(r);
        return id.value_or(0);
    }
    QString folder() const { return m_env->dir.path(); }
    QString picture(const QString &mobile) const
    {
        return zorbin::store::picturePath(folder(), mobile);
    }

    // Shows the window and waits until it is the active window, as a user meets it.
    static void open(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    template <class W> static QLineEdit *line(W &w, int n)
    {
        return w.template findChild<QLineEdit *>(QStringLiteral("Text%1").arg(n));
    }
    template <class W> static QPushButton *button(W &w, const char *name)
    {
        return w.template findChild<QPushButton *>(QString::fromLatin1(name));
    }
    static void type(ContactEditor &dlg, const QString &name, const QString &group,
                     const QString &mobile)
    {
        typeText(line(dlg, 1), name);
        typeText(line(dlg, 2), group);
        typeText(line(dlg, 3), mobile);
    }
    static QTableView *grid(PhoneBookWindow &w) { return w.findChild<QTableView *>("VSG"); }
    static QComboBox *combo(PhoneBookWindow &w) { return w.findChild<QComboBox *>("Combo1"); }
    static QString count(PhoneBookWindow &w) { return w.findChild<QLabel *>("Label4")->text(); }
    static void selectRow(PhoneBookWindow &w, int row)
    {
        QTableView *g = grid(w);
        const QRect cell = g->visualRect(g->model()->index(row, 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }
    static void chooseColumn(PhoneBookWindow &w, int entry)
    {
        combo(w)->setCurrentIndex(entry);
        emit combo(w)->activated(entry);
    }

private Q_SLOTS:
    // --- the contact editor -------------------------------------------------------------

    void addWithoutPicture()
    {
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        QCOMPARE(QApplication::focusWidget(), line(dlg, 1));
        QCOMPARE(line(dlg, 7)->text(), QStringLiteral("http://"));
        type(dlg, QStringLiteral(" علی رضايي "), QStringLiteral(" دوستان"),
             QStringLiteral(" 09121112222 "));
        QTest::keyClick(line(dlg, 6), Qt::Key_A);
        line(dlg, 7)->setFocus();
        typeText(line(dlg, 7), QStringLiteral("ex.ir"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);

        // The message quotes the name as typed; the row holds every text trimmed.
        QCOMPARE(script.lastText(), added(QStringLiteral(" علی رضايي ")));
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Information);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const auto ids = m_env->store->contactIds();
        QCOMPARE(ids->size(), 1);
        const auto stored = m_env->store->contact(ids->first());
        QCOMPARE(stored->name, QStringLiteral("علی رضايي"));
        QCOMPARE(stored->group, QStringLiteral("دوستان"));
        QCOMPARE(stored->mobile, QStringLiteral("09121112222"));
        QCOMPARE(stored->email, QStringLiteral("a"));
        QCOMPARE(stored->site, QStringLiteral("http://ex.ir"));
        QCOMPARE(stored->image, QStringLiteral("09121112222.jpg"));

        // The default picture, written as a real private JPEG under the number.
        QFile file(picture(QStringLiteral("09121112222")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(3).startsWith("\xFF\xD8\xFF"));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(file.permissions() & others, QFile::Permissions());
        QVERIFY(file.permissions().testFlags(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("09121112222.jpg"));
    }

    void addWithPicture()
    {
        QTemporaryDir dir;
        const QString red = dir.filePath("red.png");
        QVERIFY(filled(QColor(220, 20, 20), 4500, 3000).save(red));
        Dialogs::Script script;
        script.fileNames = {red};
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        // A click on the picture opens the picture dialog.
        QTest::mouseClick(dlg.findChild<QLabel *>("Image1"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::OpenFile);
        QCOMPARE(script.lastText(), QStringLiteral("انتخاب عکس مخاطب"));
        QVERIFY(near(dlg.picture().pixel(10, 10), QColor(220, 20, 20)));

        type(dlg, QStringLiteral("Sara"), QStringLiteral("g"), QStringLiteral("0935"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), added(QStringLiteral("Sara")));
        const auto written = zorbin::store::loadPicture(picture(QStringLiteral("0935")));
        QVERIFY(written.has_value());
        // A large photo is kept at a sensible size, its shape unchanged.
        QCOMPARE(written->size(),
                 QSize(zorbin::store::kPictureMaxSide, zorbin::store::kPictureMaxSide * 2 / 3));
        QVERIFY(near(written->pixel(200, 150), QColor(220, 20, 20)));
    }

    void pictureChoiceFailures()
    {
        // A file that is not a picture is refused with a message and the picture stays;
        // a cancelled dialog changes nothing.
        QTemporaryDir dir;
        const QString text = dir.filePath("fake.jpg");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all");
        f.close();
        Dialogs::Script script;
        script.fileNames = {text};
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        const QImage before = dlg.picture();
        QVERIFY(!before.isNull());
        QTest::mouseClick(button(dlg, "Command4"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
        // One Persian line: no path, none of the reader's English.
        QCOMPARE(script.lastText(), QStringLiteral("اين فايل عکس نيست يا خوانده نشد"));
        QCOMPARE(dlg.picture(), before);
        QTest::mouseClick(button(dlg, "Command4"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::OpenFile);
        QCOMPARE(dlg.picture(), before);
    }

    // A save that leaves the picture alone never writes its file: not over a picture the
    // reader could not decode (it would become the default one), nor over a good photo
    // (each save would re-encode it).
    void unchangedSaveKeepsPictureFile()
    {
        const QByteArray photo = [] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            filled(QColor(20, 160, 60), 1600, 1200).save(&buffer, "JPEG", 97);
            return bytes;
        }();
        const QList<QByteArray> stored{QByteArray(), QByteArray("damaged"), photo};
        for (const QByteArray &bytes : stored) {
            const qint64 id = addContact(QStringLiteral("Keep"), QStringLiteral("0930"));
            QDir().mkpath(zorbin::store::picturesFolder(folder()));
            QFile file(picture(QStringLiteral("0930")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            Dialogs::Script script;
            {
                ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
                open(dlg);
                QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
                QCOMPARE(script.lastText(), updated(QStringLiteral("Keep")));
            }
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes);
            file.close();
            QVERIFY(m_env->store->deleteContact(id).has_value());
        }
    }

    // Every box gives back what is stored, byte for byte, when nothing was changed: no-break
    // spaces, lone LF and CR, a trailing line break, tabs; only blanks are trimmed.
    void unchangedSaveKeepsTexts()
    {
        ContactRecord r;
        r.name = QStringLiteral("\tنام\u00A0خانوادگي\t");
        r.group = QStringLiteral("g");
        r.mobile = QStringLiteral("0931");
        r.job = QStringLiteral("a\u00A0b");
        r.address = QStringLiteral("one\ntwo\rthree\u00A0four\r\n");
        const qint64 id = m_env->store->insertContact(r).value_or(0);
        Dialogs::Script script;
        {
            ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
            open(dlg);
            QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        }
        const auto kept = m_env->store->contact(id);
        QCOMPARE(kept->name, r.name);
        QCOMPARE(kept->job, r.job);
        QCOMPARE(kept->address, r.address);

        // Typed blanks around a text go; a tab typed inside stays.
        {
            ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
            open(dlg);
            line(dlg, 8)->setText(QStringLiteral("  \tjob  "));
            QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        }
        QCOMPARE(m_env->store->contact(id)->job, QStringLiteral("\tjob"));
    }

    // A camera's photo of 100 megapixels, or 16 bits a channel past the usual image
    // guard, is taken when chosen, kept small.
    void hugePictureChosen()
    {
        Dialogs::Script script;
        script.fileNames = {QStringLiteral(ZORBIN_TEST_DATA "/pictures/huge-16bit.png")};
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        QTest::mouseClick(button(dlg, "Command4"), Qt::LeftButton);
        QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
        QCOMPARE(dlg.picture().size(),
                 QSize(zorbin::store::kPictureMaxSide, zorbin::store::kPictureMaxSide));
        QVERIFY(near(dlg.picture().pixel(100, 100), QColor(200, 40, 40)));
    }

    void requiredFields()
    {
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("Ali"), QString(), QStringLiteral("0912"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), kStarred);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Exclamation);
        QVERIFY(dlg.isVisible());
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Ali"));
        QCOMPARE(m_env->store->contactIds()->size(), 0);

        // Blanks alone pass the test and are stored empty.
        typeText(line(dlg, 2), QStringLiteral("   "));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), added(QStringLiteral("Ali")));
        const auto stored = m_env->store->contact(m_env->store->contactIds()->first());
        QCOMPARE(stored->group, QString(""));
    }

    void duplicateMobileRefused()
    {
        addContact(QStringLiteral("First"), QStringLiteral("0912 000"));
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("Second"), QStringLiteral("g"), QStringLiteral("  0912 000 "));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), kDuplicate);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Exclamation);
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget(), line(dlg, 3));
        QCOMPARE(line(dlg, 3)->selectedText(), QStringLiteral("  0912 000 "));
        QCOMPARE(m_env->store->contactIds()->size(), 1);
        QVERIFY(!QFile::exists(picture(QStringLiteral("0912 000"))));

        // Only the exact number counts.
        line(dlg, 3)->setText(QStringLiteral("0912 0001"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), added(QStringLiteral("Second")));
        QCOMPARE(m_env->store->contactIds()->size(), 2);
    }

    void editChangesMobile()
    {
        const qint64 id = addContact(QStringLiteral("Reza"), QStringLiteral("0911"));
        addContact(QStringLiteral("Other"), QStringLiteral("0999"));
        QVERIFY(zorbin::store::savePicture(folder(), QStringLiteral("0911"),
                                           filled(QColor(20, 20, 220)))
                    .has_value());
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
        open(dlg);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ويرايش مشخصات"));
        QCOMPARE(button(dlg, "Button_Save")->text(), QStringLiteral("ذخيره"));
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Reza"));
        QVERIFY(near(dlg.picture().pixel(5, 5), QColor(20, 20, 220)));

        // Another contact's number is no obstacle when editing.
        line(dlg, 3)->setText(QStringLiteral("0999"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), updated(QStringLiteral("Reza")));
        QCOMPARE(m_env->store->contact(id)->mobile, QStringLiteral("0999"));
        // The picture moved with its contact: nobody else has 0911.
        QVERIFY(!QFile::exists(picture(QStringLiteral("0911"))));
        const auto written = zorbin::store::loadPicture(picture(QStringLiteral("0999")));
        QVERIFY(written.has_value());
        QVERIFY(near(written->pixel(5, 5), QColor(20, 20, 220)));
    }

    void longTextsAndLineBreaks()
    {
        // Stored texts come back whole: a 10,000-letter name is not cut, the address keeps
        // its CR LF breaks, and an unchanged save changes nothing.
        ContactRecord r;
        r.name = QString(10000, QChar(0x0646));
        r.group = QStringLiteral("g");
        r.mobile = QStringLiteral("۰۹۱۲۳");
        r.address = QStringLiteral("line one\r\nline two\nline three");
        const qint64 id = m_env->store->insertContact(r).value_or(0);
        Dialogs::Script script;
        {
            ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
            open(dlg);
            QCOMPARE(line(dlg, 1)->text().size(), 10000);
            QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        }
        auto stored = m_env->store->contact(id);
        QCOMPARE(stored->name, r.name);
        QCOMPARE(stored->address, r.address);
        QCOMPARE(stored->mobile, QStringLiteral("۰۹۱۲۳"));
        // Nothing was chosen, so no picture file is written.
        QVERIFY(!QFile::exists(picture(QStringLiteral("۰۹۱۲۳"))));

        {
            ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
            open(dlg);
            auto *address = dlg.findChild<QPlainTextEdit *>("Text9");
            address->moveCursor(QTextCursor::End);
            QTest::keyClick(address, Qt::Key_Return);
            typeText(address, QStringLiteral("four"));
            QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        }
        QCOMPARE(m_env->store->contact(id)->address,
                 QStringLiteral("line one\r\nline two\r\nline three\r\nfour"));
    }

    void unsafeMobileStaysInFolder()
    {
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("x"), QStringLiteral("g"), QStringLiteral("../../evil"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.lastText(), added(QStringLiteral("x")));
        const QString path = picture(QStringLiteral("../../evil"));
        QCOMPARE(QFileInfo(path).absolutePath(),
                 QFileInfo(zorbin::store::picturesFolder(folder())).absoluteFilePath());
        QVERIFY(QFile::exists(path));
        QVERIFY(!QFile::exists(QDir(folder()).filePath("../evil.jpg")));
    }

    void pictureWriteFailureKeepsRow()
    {
        // images/ is in the way (a plain file): the row is saved, the user is told the
        // picture was not, and no plain success message follows.
        QDir(zorbin::store::picturesFolder(folder())).removeRecursively();
        QFile blocker(zorbin::store::picturesFolder(folder()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::New);
        open(dlg);
        type(dlg, QStringLiteral("Nima"), QStringLiteral("g"), QStringLiteral("0915"));
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
        QCOMPARE(script.lastText(), QStringLiteral("مخاطب Nima ثبت شد، اما عکس مخاطب ذخيره نشد"));
        QVERIFY(script.of(Dialogs::Kind::Information).isEmpty());
        QCOMPARE(m_env->store->contactIds()->size(), 1);
        QVERIFY(!dlg.isVisible());
    }

    void refusedSaveShowsNoSuccess()
    {
        // The contact was deleted while the editor was open: the update is refused.
        const qint64 id = addContact(QStringLiteral("Gone"), QStringLiteral("0917"));
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, id);
        open(dlg);
        QVERIFY(m_env->store->deleteContact(id).has_value());
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
        QVERIFY(script.of(Dialogs::Kind::Information).isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("Gone"));
        QVERIFY(!QFile::exists(picture(QStringLiteral("0917"))));
    }

    void viewModeLocked()
    {
        const qint64 id = addContact(QStringLiteral("View"), QStringLiteral("0918"));
        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::View, id);
        open(dlg);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("مشاهده مشخصات"));
        QVERIFY(!button(dlg, "Button_Save")->isEnabled());
        QCOMPARE(button(dlg, "Button_Cancel")->text(), QStringLiteral("خروج"));
        for (int n = 1; n <= 8; ++n)
            QVERIFY(line(dlg, n)->isReadOnly());
        QVERIFY(dlg.findChild<QPlainTextEdit *>("Text9")->isReadOnly());
        typeText(line(dlg, 1), QStringLiteral("zz"));
        QCOMPARE(line(dlg, 1)->text(), QStringLiteral("View"));
        // The picture looks as in the other modes (not greyed); only the click is off.
        auto *image = dlg.findChild<QLabel *>("Image1");
        QVERIFY(image->isEnabled());
        QCOMPARE(image->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseClick(image, Qt::LeftButton);
        QVERIFY(script.of(Dialogs::Kind::OpenFile).isEmpty());
        // The help buttons still answer.
        QTest::mouseClick(button(dlg, "Command1"), Qt::LeftButton);
        QCOMPARE(script.lastText(), QStringLiteral("دوستان \r\nهمکاران \r\nخانواده \r\nاقوام "));
        QCOMPARE(QApplication::focusWidget(), line(dlg, 2));

        // Escape closes from any box.
        QTest::keyClick(dlg.findChild<QPlainTextEdit *>("Text9"), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(m_env->store->contact(id)->name, QStringLiteral("View"));
    }

    // --- the phone book -------------------------------------------------------------------

    void listAndCall()
    {
        addContact(QStringLiteral("Ali"), QStringLiteral("09121234567"));
        addContact(QStringLiteral("NoPhone"), QString());
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);
        QAbstractItemModelTester tester(&w.model());
        QCOMPARE(w.model().rowCount(), 2);
        QCOMPARE(count(w), QStringLiteral("2"));
        QCOMPARE(w.model().headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("نام و نام خانوادگي"));
        QCOMPARE(w.model().data(w.model().index(0, 3)).toString(), QStringLiteral("09121234567"));

        // The first row is the call selection.
        QCOMPARE(w.findChild<QLabel *>("NameCall")->text(), QStringLiteral("Ali"));
        QVERIFY(button(w, "Button_Call")->isEnabled());
        QTest::mouseClick(button(w, "Button_Call"), Qt::LeftButton);
        QVERIFY(script.lastText().startsWith(QStringLiteral("ارتباط تلفني")));
        QCOMPARE(script.lastText().count(QStringLiteral("\r\n")), 2);
        QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl(QStringLiteral("tel:09121234567"))});
        QCOMPARE(QApplication::focusWidget(), line(w, 1));

        selectRow(w, 1);
        QCOMPARE(w.findChild<QLabel *>("NameCall")->text(), QStringLiteral("NoPhone"));
        QVERIFY(!button(w, "Button_Call")->isEnabled());
    }

    void search()
    {
        addContact(QStringLiteral("علی"), QStringLiteral("09121111111"));
        addContact(QStringLiteral("عليرضا"), QStringLiteral("09351111111"));
        addContact(QStringLiteral("Bob's 50%_off"), QStringLiteral("09122222222"));
        addContact(QStringLiteral("Bob's 50xx"), QStringLiteral("0912"));
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);
        typeText(line(w, 1), QStringLiteral("عل"));
        QCOMPARE(w.model().rowCount(), 2);
        typeText(line(w, 1), QStringLiteral("ير")); // ی typed finds ي stored
        QCOMPARE(w.model().rowCount(), 1);
        QCOMPARE(w.model().rowAt(0).name, QStringLiteral("عليرضا"));
        QCOMPARE(count(w), QStringLiteral("4")); // the total stays

        // A quote, % and _ are letters like any other.
        line(w, 1)->clear();
        typeText(line(w, 1), QStringLiteral("Bob's 50%_"));
        QCOMPARE(w.model().rowCount(), 1);
        QCOMPARE(w.model().rowAt(0).mobile, QStringLiteral("09122222222"));

        // The selector empties the box; Persian digits find Latin-digit mobiles.
        chooseColumn(w, 1);
        QCOMPARE(line(w, 1)->text(), QString());
        QCOMPARE(w.model().rowCount(), 4);
        typeText(line(w, 1), QStringLiteral("۰۹۱۲"));
        QCOMPARE(w.model().rowCount(), 3);
        typeText(line(w, 1), QStringLiteral("1"));
        QCOMPARE(w.model().rowCount(), 1);
        QCOMPARE(w.model().rowAt(0).name, QStringLiteral("علی"));

        // Refresh: the full list, the name entry.
        QTest::mouseClick(button(w, "Button_Refresh"), Qt::LeftButton);
        QCOMPARE(w.model().rowCount(), 4);
        QCOMPARE(combo(w)->currentIndex(), 0);
        QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
    }

    // A letter that matches more than a screen shows the first screen at once; the rest
    // follows below it while the window answers, the current row left where it is.
    void longSearchShowsItsFirstScreenFirst()
    {
        QVERIFY(m_env->sql("INSERT INTO Table_Contact (Name, \"Group\", Mobile) "
                           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                           "WHERE x < 20000) SELECT 'c' || x, 'g', '09' || x FROM n"));
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);
        QAbstractItemModelTester tester(&w.model());
        const QVector<qint64> whole =
            m_env->store
                ->searchContacts(zorbin::store::ContactSearchColumn::Name, QStringLiteral("c1"))
                .value();
        typeText(line(w, 1), QStringLiteral("c1"));
        const int first = w.model().rowCount();
        QVERIFY(first >= 32 && first < 1000);
        QCOMPARE(w.model().ids(), whole.mid(0, first));
        QCOMPARE(grid(w)->currentIndex().row(), 0);
        grid(w)->setCurrentIndex(w.model().index(5, 1));
        QTRY_COMPARE(w.model().ids(), whole);
        QCOMPARE(grid(w)->currentIndex().row(), 5);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("NameCall"))->text(),
                 w.model().rowAt(5).name);
        QCOMPARE(w.model().rowAt(first + 1).id, whole[first + 1]);
        QCOMPARE(count(w), QStringLiteral("20000")); // the total stays
        QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
        // A letter typed meanwhile starts over with the new prefix.
        typeText(line(w, 1), QStringLiteral("9"));
        QTRY_COMPARE(w.model().ids(), m_env->store
                                          ->searchContacts(zorbin::store::ContactSearchColumn::Name,
                                                           QStringLiteral("c19"))
                                          .value());
        // A letter typed while the rest of a search still arrives: the rows are the new
        // search's alone, and stay so.
        QTest::keyClick(line(w, 1), Qt::Key_Backspace);
        QVERIFY(w.model().rowCount() < whole.size());
        typeText(line(w, 1), QStringLiteral("2"));
        const QVector<qint64> narrower =
            m_env->store
                ->searchContacts(zorbin::store::ContactSearchColumn::Name, QStringLiteral("c12"))
                .value();
        QTRY_COMPARE(w.model().ids(), narrower);
        QTest::qWait(150);
        QCOMPARE(w.model().ids(), narrower);
        QCOMPARE(count(w), QStringLiteral("20000"));
    }

    // Printed or saved while the rest of a long search still arrives: every contact found.
    void printAndExportTakeTheWholeSearch()
    {
        QVERIFY(m_env->sql("INSERT INTO Table_Contact (Name, \"Group\", Mobile) "
                           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                           "WHERE x < 20000) SELECT 'c' || x, 'g', '09' || x FROM n"));
        PhoneBookWindow w(*m_env->context);
        open(w);
        const QString path = m_env->dir.path() + QStringLiteral("/book.vcf");
        for (const char *command : {"Button_Print", "Button_Export"}) {
            line(w, 1)->clear();
            typeText(line(w, 1), QStringLiteral("c1"));
            QVERIFY(w.model().rowCount() < 1000);
            Dialogs::Script script;
            script.replies = {Dialogs::Reply::Yes};
            script.fileNames = {path};
            button(w, command)->click();
            if (command == std::string_view("Button_Print")) {
                QCOMPARE(script.of(Dialogs::Kind::Preview).size(), 1);
                QCOMPARE(script.of(Dialogs::Kind::Preview).first().records, 11111);
            } else {
                QCOMPARE(script.lastText(), QStringLiteral("11111 مخاطب در فايل ذخيره شد"));
            }
            QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
        }
    }

    void deleteYesAndNo()
    {
        addContact(QStringLiteral("Keep"), QStringLiteral("0901"));
        const qint64 gone = addContact(QStringLiteral("Gone"), QStringLiteral("0902"));
        QVERIFY(zorbin::store::savePicture(folder(), QStringLiteral("0902"), filled(Qt::green))
                    .has_value());
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);

        // No: nothing deleted, and the full list is back although a search was active.
        typeText(line(w, 1), QStringLiteral("Go"));
        QCOMPARE(w.model().rowCount(), 1);
        script.replies = {Dialogs::Reply::No};
        QTest::mouseClick(button(w, "Button_Delete"), Qt::LeftButton);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Question);
        QCOMPARE(script.lastText(), QStringLiteral(" آيا مي خواهيد اين مخاطب را حذف کنيد ؟"));
        QCOMPARE(w.model().rowCount(), 2);
        QCOMPARE(line(w, 1)->text(), QString());

        // Yes on the selected row: that contact goes, and its picture with it.
        selectRow(w, 1);
        script.replies = {Dialogs::Reply::Yes};
        QTest::mouseClick(button(w, "Button_Delete"), Qt::LeftButton);
        QCOMPARE(w.model().rowCount(), 1);
        QCOMPARE(count(w), QStringLiteral("1"));
        QVERIFY(!m_env->store->contact(gone).has_value());
        QCOMPARE(w.model().rowAt(0).name, QStringLiteral("Keep"));
        QVERIFY(!QFile::exists(picture(QStringLiteral("0902"))));
        QVERIFY(script.of(Dialogs::Kind::Error).isEmpty());
    }

    // A name of any length ends in "…" beside the call button: the window keeps its width
    // and the label still holds the whole name for a screen reader. A message that quotes
    // a name cuts it.
    void longNameKeepsWindowSize()
    {
        addContact(QStringLiteral("Short"), QStringLiteral("0941"));
        const QString longName = QString(40000, QChar(0x0645));
        addContact(longName, QStringLiteral("0942"));
        PhoneBookWindow w(*m_env->context);
        open(w);
        const int width = w.width();
        selectRow(w, 1);
        // Time for the label's new size to reach the window through its layouts.
        QTest::qWait(300);
        auto *nameCall = w.findChild<QLabel *>("NameCall");
        QCOMPARE(nameCall->text(), longName);
        QCOMPARE(w.width(), width);
        QVERIFY(w.sizeHint().width() < w.screen()->availableGeometry().width());
        QVERIFY(w.minimumSizeHint().width() < 900);

        Dialogs::Script script;
        ContactEditor dlg(*m_env->context, ContactEditor::Mode::Edit, w.model().idAt(1));
        open(dlg);
        QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        const QString quoted = zorbin::store::shortened(longName);
        QCOMPARE(quoted.size(), 100);
        QCOMPARE(script.lastText(), updated(quoted));
    }

    // After a call the search box has the focus, also once the window manager hands the
    // activation back from the notice.
    void callLeavesFocusInSearchBox()
    {
        addContact(QStringLiteral("Ali"), QStringLiteral("09121234567"));
        PhoneBookWindow w(*m_env->context);
        open(w);
        grid(w)->setFocus();
        closeNextMessageBox();
        QTest::mouseClick(button(w, "Button_Call"), Qt::LeftButton);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCoreApplication::processEvents();
        QCOMPARE(w.focusWidget(), line(w, 1));
        QCOMPARE(m_catcher.urls.size(), 1);
    }

    void emptyBookMessages()
    {
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);
        QCOMPARE(count(w), QStringLiteral("0"));
        QVERIFY(!button(w, "Button_Call")->isEnabled());
        QTest::mouseClick(button(w, "Button_Edit"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Button_Delete"), Qt::LeftButton);
        QTest::mouseClick(button(w, "Button_Print"), Qt::LeftButton);
        QTest::mouseDClick(grid(w)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(script.texts(), QStringList({QStringLiteral("موردي براي ويرايش وجود ندارد"),
                                              QStringLiteral("موردي براي حذف وجود ندارد"),
                                              QStringLiteral("موردي براي چاپ وجود ندارد"),
                                              QStringLiteral("موردي براي نمايش وجود ندارد")}));
        for (const auto &shown : script.shown)
            QCOMPARE(shown.kind, Dialogs::Kind::Exclamation);
    }

    void editorFromTheBook()
    {
        addContact(QStringLiteral("A"), QStringLiteral("0931"));
        const qint64 second = addContact(QStringLiteral("B"), QStringLiteral("0932"));
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);

        // New: the editor adds a contact, and the book lists it when the editor closes.
        script.onWindow = [&](QDialog &window) {
            auto &dlg = static_cast<ContactEditor &>(window);
            QCOMPARE(dlg.windowTitle(), QStringLiteral("مخاطب جديد"));
            type(dlg, QStringLiteral("C"), QStringLiteral("g"), QStringLiteral("0933"));
            QTest::mouseClick(button(dlg, "Button_Save"), Qt::LeftButton);
        };
        QTest::mouseClick(button(w, "Button_Add"), Qt::LeftButton);
        QCOMPARE(script.of(Dialogs::Kind::Window).last().className,
                 QStringLiteral("zorbin::contacts::ContactEditor"));
        QCOMPARE(w.model().rowCount(), 3);
        QCOMPARE(count(w), QStringLiteral("3"));

        // A double-click shows that row read-only; afterwards the full list, name entry.
        chooseColumn(w, 1);
        typeText(line(w, 1), QStringLiteral("0932"));
        QCOMPARE(w.model().rowCount(), 1);
        qint64 shownId = 0;
        bool locked = false;
        script.onWindow = [&](QDialog &window) {
            auto &editor = static_cast<ContactEditor &>(window);
            shownId = editor.recordId();
            locked = editor.mode() == ContactEditor::Mode::View && line(window, 1)->isReadOnly() &&
                     line(window, 1)->text() == QStringLiteral("B");
        };
        QTableView *g = grid(w);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {},
                           g->visualRect(w.model().index(0, 1)).center());
        QCOMPARE(shownId, second);
        QVERIFY(locked);
        QCOMPARE(w.model().rowCount(), 3);
        QCOMPARE(combo(w)->currentIndex(), 0);

        // Edit opens the current row in edit mode.
        selectRow(w, 0);
        bool editing = false;
        script.onWindow = [&](QDialog &window) {
            editing = static_cast<ContactEditor &>(window).mode() == ContactEditor::Mode::Edit &&
                      line(window, 1)->text() == QStringLiteral("A");
        };
        QTest::mouseClick(button(w, "Button_Edit"), Qt::LeftButton);
        QVERIFY(editing);
    }

    void printShowsTheGrid()
    {
        for (int i = 0; i < 5; ++i)
            addContact(QStringLiteral("P%1").arg(i), QStringLiteral("090%1").arg(i));
        Dialogs::Script script;
        PhoneBookWindow w(*m_env->context);
        open(w);
        typeText(line(w, 1), QStringLiteral("P1"));
        QTest::mouseClick(button(w, "Button_Print"), Qt::LeftButton);
        const auto info = script.of(Dialogs::Kind::Information);
        QCOMPARE(info.size(), 1);
        QCOMPARE(info.first().text.count(QStringLiteral("\r\n")), 8);
        const auto previews = script.of(Dialogs::Kind::Preview);
        QCOMPARE(previews.size(), 1);
        QCOMPARE(previews.first().text, QStringLiteral("Print_Conts"));
        QCOMPARE(previews.first().records, 1);
        QCOMPARE(w.model().rowCount(), 5); // the full list afterwards
    }

    void escapeAndCommand()
    {
        // The main window's command 5 opens the phone book modal; Escape closes it.
        Dialogs::Script script;
        QWidget owner;
        NoSites list;
        SiteActions actions(*m_env->context, list, &owner);
        bool closed = false;
        script.onWindow = [&](QDialog &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("دفترچه تلفن"));
            QTest::keyClick(line(window, 1), Qt::Key_Escape);
            closed = !window.isVisible();
        };
        actions.dispatch(zorbin::mainwin::Command::PhoneBook);
        QCOMPARE(script.of(Dialogs::Kind::Window).size(), 1);
        QCOMPARE(script.shown.first().className,
                 QStringLiteral("zorbin::contacts::PhoneBookWindow"));
        QVERIFY(closed);
    }

#ifdef ZORBIN_SCREENSHOTS
    // Pictures of the windows for a person to look at, when ZORBIN_SHOT names a
    // folder (run under a real display with a window manager). ZORBIN_CONTACT_PICTURE
    // names a photo to show as the contact's picture.
    void screens()
    {
        const QString shots = qEnvironmentVariable("ZORBIN_SHOT");
        if (shots.isEmpty())
            QSKIP("ZORBIN_SHOT is not set");
        const QString photo = qEnvironmentVariable("ZORBIN_CONTACT_PICTURE");
        const auto shoot = [&](const QString &name) {
            for (int i = 0; i < 10; ++i)
                QTest::qWait(50);
            QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QStringLiteral("root"),
                               QDir(shots).filePath(name + QStringLiteral(".png"))});
        };
        const QStringList names{QStringLiteral("علی رضايي"), QStringLiteral("مریم کریمی"),
                                QStringLiteral("John Smith"), QStringLiteral("سارا احمدی")};
        qint64 first = 0;
        for (int i = 0; i < 40; ++i) {
            const qint64 id =
                addContact(names[i % 4] + QStringLiteral(" %1").arg(i + 1),
                           QStringLiteral("0912%1").arg(1000000 + i), QStringLiteral("دوستان"),
                           QStringLiteral("person%1@example.com").arg(i + 1));
            first = first ? first : id;
        }
        // A name far longer than the window, on the row the book selects first.
        ContactRecord longest = *m_env->store->contact(first);
        longest.name = QString(25, QChar(0x0645)) + QStringLiteral(" ") +
                       QStringLiteral("محمدرضا عبدالحسين زاده ").repeated(10);
        QVERIFY(m_env->store->updateContact(longest).has_value());
        if (!photo.isEmpty())
            QVERIFY(zorbin::store::savePicture(folder(), QStringLiteral("09121000000"),
                                               *zorbin::store::loadPicture(photo))
                        .has_value());
        PhoneBookWindow w(*m_env->context);
        open(w);
        shoot(QStringLiteral("phone"));
        for (const int mode : {0, 1, 2}) {
            ContactEditor dlg(*m_env->context,
                              mode == 0   ? ContactEditor::Mode::New
                              : mode == 1 ? ContactEditor::Mode::Edit
                                          : ContactEditor::Mode::View,
                              first, &w);
            open(dlg);
            shoot(QStringLiteral("contact-%1")
                      .arg(mode == 0   ? "new"
                           : mode == 1 ? "edit"
                                       : "view"));
        }
        const auto rows = w.model().allRows();
        QVERIFY(rows.has_value());
        const ContactListReport report(*rows);
        auto preview = report.makePreview(&w);
        preview->resize(1100, 800);
        open(*preview);
        shoot(QStringLiteral("print-conts"));
    }
#endif

    // --- the printed list ---------------------------------------------------------------

    // A long list's pages are laid out one at a time, each where the whole layout puts it:
    // the last page alone holds the last contacts and the exact footer.
    void reportPagesOneAtATime()
    {
        QVector<ContactListRow> rows;
        for (int i = 1; i <= 2000; ++i)
            rows.append({i, QStringLiteral("نام %1").arg(i), QStringLiteral("گروه"),
                         QStringLiteral("0912%1").arg(i, 7, 10, QChar('0')), QString(),
                         QStringLiteral("job"), QStringLiteral("m%1@site.ir").arg(i)});
        const ContactListReport report(rows);
        const auto whole = report.layout(report.layoutDevice());
        const auto paged = report.pages();
        QVERIFY(paged->count(std::chrono::milliseconds(0)));
        QCOMPARE(paged->pageCount(), int(whole.size()));
        QVERIFY(whole.size() > 20);
        const auto texts = [](const zorbin::common::report::Page &page) {
            QStringList list;
            for (const auto &item : page.items)
                list << item.text;
            return list;
        };
        for (const int p : {0, 1, int(whole.size()) / 2, int(whole.size()) - 1})
            QCOMPARE(texts(paged->page(p)), texts(whole[p]));
        const QStringList last = texts(paged->page(int(whole.size()) - 1));
        QVERIFY(last.contains(QStringLiteral("نام 2000")));
        QCOMPARE(last.last(), QStringLiteral("صفحه %1 از %1").arg(whole.size()));
    }

    void reportPages()
    {
        QVector<ContactListRow> rows;
        for (int i = 1; i <= 90; ++i)
            rows.append({i, QStringLiteral("نام %1").arg(i), QStringLiteral("گروه"),
                         QStringLiteral("0912%1").arg(i, 7, 10, QChar('0')),
                         QStringLiteral("021%1").arg(i), QStringLiteral("job%1").arg(i),
                         QStringLiteral("mail%1@site.ir").arg(i)});
        rows[4].name = QString(10000, QChar(0x0628)); // one line all the same
        const ContactListReport report(rows);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        zorbin::common::report::preparePrinter(printer, report.orientation(),
                                               report.documentTitle());
        const auto pages = report.layout(&printer);
        QVERIFY(pages.size() >= 2);
        QSet<int> printed;
        for (int p = 0; p < pages.size(); ++p) {
            QStringList headings;
            QString footer;
            int titles = 0;
            for (const auto &item : pages[p].items) {
                if (item.role == zorbin::common::report::Role::Heading)
                    headings << item.text;
                else if (item.role == zorbin::common::report::Role::Footer)
                    footer = item.text;
                else if (item.role == zorbin::common::report::Role::Title)
                    ++titles;
                else if (item.role == zorbin::common::report::Role::Cell) {
                    printed.insert(item.row);
                    // One line per contact, however long its texts.
                    QVERIFY(item.rect.height() <
                            1.5 * zorbin::common::report::lineHeight(item.font, &printer));
                    QVERIFY(!item.text.contains(QLatin1Char('\n')));
                }
            }
            QCOMPARE(headings, ContactListReport::headings());
            QCOMPARE(footer, QStringLiteral("صفحه %1 از %2").arg(p + 1).arg(pages.size()));
            QCOMPARE(titles, p == 0 ? 1 : 0);
            // The title band's two pictures, inside the band at its left end.
            QCOMPARE(pages[p].pictures.size(), p == 0 ? 2 : 0);
            for (const auto &picture : pages[p].pictures) {
                QVERIFY(QSvgRenderer(picture.resource).isValid());
                QVERIFY(pages[p].fills.first().contains(picture.rect));
                QVERIFY(picture.rect.right() < pages[p].fills.first().center().x());
            }
        }
        QCOMPARE(printed.size(), 90);
        // The columns right to left, name at the right edge, e-mail at the left.
        const auto &first = pages[0].items;
        const auto cell = [&](int column) {
            for (const auto &item : first)
                if (item.role == zorbin::common::report::Role::Cell && item.row == 0 &&
                    item.column == column)
                    return item.rect;
            return QRectF();
        };
        for (int c = 1; c < 6; ++c)
            QVERIFY(cell(c).right() <= cell(c - 1).left() + 1);

        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (pdftotext.isEmpty() || pdfinfo.isEmpty())
            QSKIP("poppler's pdftotext and pdfinfo are not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("contacts.pdf");
        QVERIFY(report.savePdf(pdf));
        const QString text = runTool(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("mail1@site.ir")), qPrintable(text.left(500)));
        QVERIFY(text.contains(QStringLiteral("mail90@site.ir")));
        QVERIFY(text.contains(QStringLiteral("09120000045")));
        const QString pdfInfo = runTool(pdfinfo, {pdf});
        QVERIFY2(
            pdfInfo.contains(QRegularExpression(QStringLiteral("Pages: +%1\n").arg(pages.size()))),
            qPrintable(pdfInfo));
        QVERIFY(pdfInfo.contains(QRegularExpression(QStringLiteral("Page size: +842 x 595"))));
    }
};

QTEST_MAIN(TestPhoneBook)
#include "tst_phonebook.moc"
