#include "common/dialogs.h"
#include "helpers/testenv.h"
#include "sites/subjectswindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using zorbin::sites::SubjectsWindow;

using zorbin::common::Dialogs;

namespace {

const QString kCaption = QStringLiteral("موضوعات");
const QString kTitleLabel = QStringLiteral(":عنوان");
const QString kAdd = QStringLiteral("اضافه");
const QString kSave = QStringLiteral("ذخيره");
const QString kEdit = QStringLiteral("ويرايش");
const QString kDelete = QStringLiteral("حذف");
const QString kWarning = QStringLiteral(".لطفاً از ويرايش يا حذف موضوعات استفاده شده خودداري کنيد");
const QString kEmptyTitle = QStringLiteral(" لطفاً عنوان موضوع را وارد کنيد");
const QString kDuplicate = QStringLiteral("اين موضوع قبلاً ثبت شده است");
const QString kNothingToDelete = QStringLiteral("موردي براي حذف وجود ندارد");
const QString kConfirmDelete = QStringLiteral("آيا مي خواهيد اين موضوع را حذف کنيد ؟ ");

// The window under test with its controls found by name.
struct Window
{
    explicit Window(TestEnv &env) : dlg(*env.context)
    {
        dlg.show();
        dlg.activateWindow();
        text1 = dlg.findChild<QLineEdit *>(QStringLiteral("Text1"));
        save = dlg.findChild<QPushButton *>(QStringLiteral("Button_Save"));
        edit = dlg.findChild<QPushButton *>(QStringLiteral("Button_Edit"));
        remove = dlg.findChild<QPushButton *>(QStringLiteral("Button_Delete"));
        grid = dlg.findChild<QTableView *>(QStringLiteral("VSG"));
    }

    QStringList titles() const
    {
        QStringList list;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            list << grid->model()->index(r, 1).data().toString();
        return list;
    }
    QList<qint64> ids() const
    {
        QList<qint64> list;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            list << grid->model()->index(r, 0).data().toLongLong();
        return list;
    }
    void type(const QString &text)
    {
        text1->clear();
        // Key by key, as typed; keyClicks takes Latin-1 only.
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, text1, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void selectRow(int row) { grid->setCurrentIndex(grid->model()->index(row, 1)); }

    SubjectsWindow dlg;
    QLineEdit *text1 = nullptr;
    QPushButton *save = nullptr;
    QPushButton *edit = nullptr;
    QPushButton *remove = nullptr;
    QTableView *grid = nullptr;
};

QStringList storedTitles(TestEnv &env)
{
    QStringList list;
    for (const auto &c : QVector<zorbin::store::CategoryRecord>(env.store->categories().value()))
        list << c.title;
    return list;
}

bool inAddMode(const Window &w)
{
    return !w.dlg.editing() && w.save->text() == kAdd && w.edit->isEnabled() &&
           w.remove->isEnabled();
}

} // namespace

class TestSubjectsWindow : public QObject
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

    void controlsAndCaptions()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Window w(env);
        QCOMPARE(w.dlg.objectName(), QStringLiteral("Category"));
        QCOMPARE(w.dlg.windowTitle(), kCaption);
        QVERIFY(!(w.dlg.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
        auto *label6 = w.dlg.findChild<QLabel *>(QStringLiteral("Label6"));
        auto *label1 = w.dlg.findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(label6 && label1 && w.text1 && w.save && w.edit && w.remove && w.grid);
        QCOMPARE(label6->text(), kTitleLabel);
        QCOMPARE(label6->buddy(), w.text1);
        QCOMPARE(label1->text(), kWarning);
        QVERIFY(w.text1->alignment() & Qt::AlignRight);
        QVERIFY(w.text1->text().isEmpty());
        QCOMPARE(w.edit->text(), kEdit);
        QCOMPARE(w.remove->text(), kDelete);
        QVERIFY(inAddMode(w));

        // Every control stands in the one group frame.
        const auto frames = w.dlg.findChildren<QGroupBox *>();
        QCOMPARE(frames.size(), 1);
        for (QWidget *c :
             QList<QWidget *>{label6, label1, w.text1, w.save, w.edit, w.remove, w.grid})
            QVERIFY(frames.first()->isAncestorOf(c));

        // The grid: ID and Category, headed in Persian as the rest of the window, whole
        // rows, no editing.
        QCOMPARE(w.grid->model()->columnCount(), 2);
        QCOMPARE(w.grid->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("شناسه"));
        QCOMPARE(w.grid->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("عنوان موضوع"));
        QCOMPARE(w.grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(w.grid->columnWidth(0) < w.grid->columnWidth(1));

        w.click(w.edit);
        QCOMPARE(w.save->text(), kSave);
        QVERIFY(!w.edit->isEnabled());
        QVERIFY(!w.remove->isEnabled());
        QVERIFY(w.dlg.editing());
    }

    void addSubjects()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("News"));
        Dialogs::Script script;
        Window w(env);
        QCOMPARE(w.titles(), QStringList{QStringLiteral("News")});

        // Stored trimmed; the box empties and the list shows the new row.
        w.type(QStringLiteral("  اخبار روز "));
        w.click(w.save);
        QCOMPARE(storedTitles(env),
                 (QStringList{QStringLiteral("News"), QStringLiteral("اخبار روز")}));
        QCOMPARE(w.titles(), storedTitles(env));
        QVERIFY(w.text1->text().isEmpty());
        QVERIFY(inAddMode(w));

        // A title differing only in case is another subject.
        w.type(QStringLiteral("news"));
        w.click(w.save);
        QCOMPARE(storedTitles(env).size(), 3);
        QVERIFY(storedTitles(env).contains(QStringLiteral("news")));
        QVERIFY(script.shown.isEmpty());
    }

    void enterSaves()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        Window w(env);
        w.type(QStringLiteral("ورزشی"));
        QTest::keyClick(w.text1, Qt::Key_Return);
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("ورزشی")});
        QVERIFY(w.text1->text().isEmpty());
        QTest::keyClick(w.text1, Qt::Key_Enter);
        QCOMPARE(script.texts(), QStringList{kEmptyTitle});
        QCOMPARE(storedTitles(env).size(), 1);
        QVERIFY(w.dlg.isVisible());
    }

    void duplicateRefused()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        Window w(env);
        QVERIFY(QTest::qWaitForWindowActive(&w.dlg));
        w.type(QStringLiteral(" news  "));
        w.click(w.save);
        QCOMPARE(script.texts(), QStringList{kDuplicate});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("news")});
        QCOMPARE(w.text1->text(), QStringLiteral(" news  "));
        QCOMPARE(w.text1->selectedText(), w.text1->text());
        QVERIFY(w.text1->hasFocus());
        QVERIFY(inAddMode(w));

        // After a completed save the focus is back in the box.
        w.type(QStringLiteral("sport"));
        w.click(w.save);
        QVERIFY(w.text1->hasFocus());
        QCOMPARE(script.shown.size(), 1);
    }

    void spacesOnlyTitle()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        Window w(env);
        w.type(QStringLiteral("   "));
        w.click(w.save);
        QVERIFY(script.shown.isEmpty());
        QCOMPARE(storedTitles(env), QStringList{QString()});
        QCOMPARE(env.store->categories().value().first().title, QStringLiteral(""));

        w.type(QStringLiteral(" "));
        w.click(w.save);
        QCOMPARE(script.texts(), QStringList{kDuplicate});
        QCOMPARE(storedTitles(env).size(), 1);
    }

    void emptyTitle()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("news"));
        Dialogs::Script script;
        Window w(env);
        w.click(w.save);
        QCOMPARE(script.texts(), QStringList{kEmptyTitle});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("news")});
        QVERIFY(inAddMode(w));

        // The message does not end an edit either.
        w.click(w.edit);
        w.text1->clear();
        w.click(w.save);
        QCOMPARE(script.texts(), (QStringList{kEmptyTitle, kEmptyTitle}));
        QVERIFY(w.dlg.editing());
        QCOMPARE(w.save->text(), kSave);
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("news")});
    }

    void renameSubject()
    {
        TestEnv &env = *m_env;
        const qint64 a = env.addCategory(QStringLiteral("alpha"));
        const qint64 b = env.addCategory(QStringLiteral("beta"));
        const qint64 site = env.addSite(QStringLiteral("Site"), QStringLiteral("http://x.ir"),
                                        QStringLiteral("beta"));
        Dialogs::Script script;
        Window w(env);
        w.selectRow(1);
        w.click(w.edit);
        QCOMPARE(w.text1->text(), QStringLiteral("beta"));
        QCOMPARE(w.text1->selectedText(), QStringLiteral("beta"));
        // Only the subject being changed is listed meanwhile.
        QCOMPARE(w.ids(), QList<qint64>{b});

        // Another subject's title is accepted.
        w.type(QStringLiteral(" alpha "));
        w.click(w.save);
        QVERIFY(script.shown.isEmpty());
        QCOMPARE(env.store->category(a)->title, QStringLiteral("alpha"));
        QCOMPARE(env.store->category(b)->title, QStringLiteral("alpha"));
        QCOMPARE(w.ids(), (QList<qint64>{a, b}));
        QVERIFY(w.text1->text().isEmpty());
        QVERIFY(inAddMode(w));
        // Sites keep the text they carry.
        QCOMPARE(env.store->site(site)->fields[zorbin::store::Mozoo], QStringLiteral("beta"));
    }

    // A subject title longer than a line box's default limit loads whole, and saving it
    // unchanged writes it back whole.
    void longTitleSurvivesUnchangedSave()
    {
        TestEnv &env = *m_env;
        const QString title = QString(40000, QChar(0x645)) + QStringLiteral("end");
        const qint64 id = env.addCategory(title);
        Dialogs::Script script;
        Window w(env);
        w.selectRow(0);
        w.click(w.edit);
        QCOMPARE(w.text1->text().size(), title.size());
        w.click(w.save);
        QVERIFY(script.shown.isEmpty());
        QCOMPARE(env.store->category(id)->title, title);
    }

    void deleteExactId()
    {
        TestEnv &env = *m_env;
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(env.addCategory(QStringLiteral("s%1").arg(i)), qint64(i));
        for (qint64 id : {2, 3, 4, 5, 6, 7, 8, 9, 11})
            QVERIFY(env.store->deleteCategory(id));
        const qint64 site = env.addSite(QStringLiteral("Site"), QStringLiteral("http://x.ir"),
                                        QStringLiteral("s1"));
        Dialogs::Script script;
        script.replies << Dialogs::Reply::Yes;
        Window w(env);
        QCOMPARE(w.ids(), (QList<qint64>{1, 10, 12}));
        w.selectRow(0);
        w.click(w.remove);
        QCOMPARE(script.texts(), QStringList{kConfirmDelete});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Question);
        QCOMPARE(w.ids(), (QList<qint64>{10, 12}));
        QCOMPARE(storedTitles(env), (QStringList{QStringLiteral("s10"), QStringLiteral("s12")}));
        QCOMPARE(env.store->site(site)->fields[zorbin::store::Mozoo], QStringLiteral("s1"));

        // A row other than the first.
        script.replies << Dialogs::Reply::Yes;
        w.selectRow(1);
        w.click(w.remove);
        QCOMPARE(w.ids(), QList<qint64>{10});
    }

    void deleteAnsweredNo()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("one"));
        Dialogs::Script script;
        script.replies << Dialogs::Reply::No;
        Window w(env);
        // Added behind the window's back: the re-read shows it.
        env.addCategory(QStringLiteral("two"));
        w.click(w.remove);
        QCOMPARE(script.texts(), QStringList{kConfirmDelete});
        QCOMPARE(w.titles(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(storedTitles(env).size(), 2);
    }

    void emptyList()
    {
        TestEnv &env = *m_env;
        Dialogs::Script script;
        Window w(env);
        QCOMPARE(w.grid->model()->rowCount(), 0);
        w.click(w.remove);
        QCOMPARE(script.texts(), QStringList{kNothingToDelete});
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Exclamation);

        // Edit has nothing to act on and leaves the window adding.
        w.click(w.edit);
        QCOMPARE(script.shown.size(), 1);
        QVERIFY(inAddMode(w));
        w.type(QStringLiteral("new"));
        w.click(w.save);
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("new")});
    }

    void escapeCloses()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("one"));
        {
            Window w(env);
            w.type(QStringLiteral("x"));
            QTest::keyClick(w.text1, Qt::Key_Escape);
            QVERIFY(!w.dlg.isVisible());
            QCOMPARE(w.dlg.result(), int(QDialog::Rejected));
        }
        {
            Window w(env);
            w.grid->setFocus();
            QTest::keyClick(w.grid, Qt::Key_Escape);
            QVERIFY(!w.dlg.isVisible());
        }
        QCOMPARE(storedTitles(env), QStringList{QStringLiteral("one")});
    }

    void storeRefusesAdd()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("one"));
        Dialogs::Script script;
        Window w(env);
        QVERIFY(env.sql("DROP TABLE Table_Category"));
        w.type(QStringLiteral("two"));
        w.click(w.save);
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
        QVERIFY(!script.lastText().isEmpty());
        QCOMPARE(w.text1->text(), QStringLiteral("two"));
        QVERIFY(inAddMode(w));
    }

    void storeRefusesRenameAndDelete()
    {
        TestEnv &env = *m_env;
        env.addCategory(QStringLiteral("one"));
        Dialogs::Script script;
        Window w(env);
        w.click(w.edit);
        QVERIFY(env.sql("DROP TABLE Table_Category"));
        w.type(QStringLiteral("uno"));
        w.click(w.save);
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
        QCOMPARE(w.text1->text(), QStringLiteral("uno"));
        QVERIFY(w.dlg.editing());
        QCOMPARE(w.save->text(), kSave);

        // A list that cannot be read is reported on opening.
        Window w2(env);
        QCOMPARE(script.shown.size(), 2);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
    }

    void refusedDeleteReported()
    {
        TestEnv &env = *m_env;
        const qint64 id = env.addCategory(QStringLiteral("one"));
        Dialogs::Script script;
        script.replies << Dialogs::Reply::Yes;
        Window w(env);
        // Gone already when the user confirms.
        QVERIFY(env.store->deleteCategory(id));
        w.click(w.remove);
        QCOMPARE(script.shown.size(), 2);
        QCOMPARE(script.shown.last().kind, Dialogs::Kind::Error);
        QCOMPARE(w.grid->model()->rowCount(), 0);
    }

    void looksRightToLeft()
    {
        TestEnv &env = *m_env;
        for (const char *t : {"اخبار", "ورزشی", "علمی و فناوری", "سرگرمی", "خرید اینترنتی"})
            env.addCategory(QString::fromUtf8(t));
        Window w(env);
        QVERIFY(QTest::qWaitForWindowExposed(&w.dlg));
        QCOMPARE(w.grid->model()->rowCount(), 5);
        // Right to left: the label stands right of its box, the box right of its button.
        auto *label6 = w.dlg.findChild<QLabel *>(QStringLiteral("Label6"));
        QVERIFY(label6->geometry().left() >= w.text1->geometry().right());
        QVERIFY(w.text1->geometry().left() >= w.save->geometry().right());
        for (QPushButton *b : {w.save, w.edit, w.remove})
            QVERIFY(b->width() >= b->sizeHint().width());
        const QPixmap shot = w.dlg.grab();
        QVERIFY(!shot.isNull());
        const QString dir = qEnvironmentVariable("ZORBIN_SHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(shot.save(dir + QStringLiteral("/shot-category.png")));
    }
};

QTEST_MAIN(TestSubjectsWindow)
#include "tst_subjectswindow.moc"
