#include "account/changepasswordwindow.h"
#include "common/dialogs.h"
#include "common/strengthbar.h"
#include "core/secretclipboard.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"
#include "sites/siteeditor.h"
#include "store/store.h"
#include "tools/passwordgeneratorwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using zorbin::common::StrengthBar;
using zorbin::sites::SiteEditor;

class TestStrengthBar : public WindowTestCase
{
    Q_OBJECT

private slots:
    // The site editor shows the strength of the password as it is typed (new mode) and of
    // the stored one (edit mode); view mode shows none. Closing empties the password box.
    void inTheSiteEditor()
    {
        SiteEditor added(*m_env->context, SiteEditor::Mode::New);
        added.show();
        auto *bar = child<StrengthBar>(added, "Strength");
        QVERIFY(bar->isVisible());
        typeText(child<QLineEdit>(added, "Text10"), QStringLiteral("123456"));
        QCOMPARE(bar->strength().level, 0);
        QVERIFY(bar->text().startsWith(QStringLiteral("خيلي ضعيف (")));
        QCOMPARE(child<QLabel>(*bar, "StrengthText")->text(), bar->text());
        added.reject();
        QCOMPARE(child<QLineEdit>(added, "Text10")->text(), QString());
        QCOMPARE(bar->text(), QString());

        QVERIFY(m_env->sql("INSERT INTO Table_Site (Onvan, Address, Mozoo, Pass) "
                           "VALUES ('a', 'http://a', 's', 'q8W!zr4TfY2#mKp9Lx7@Vb3N')"));
        const qint64 id = m_env->store->siteIds().value().value(0);
        SiteEditor edited(*m_env->context, SiteEditor::Mode::Edit, id);
        edited.show();
        QCOMPARE(child<StrengthBar>(edited, "Strength")->strength().level, 4);
        SiteEditor viewed(*m_env->context, SiteEditor::Mode::View, id);
        viewed.show();
        QVERIFY(!child<StrengthBar>(viewed, "Strength")->isVisible());
    }

    // The change-password window rates the new password; its boxes are emptied on close.
    void inTheChangePasswordWindow()
    {
        zorbin::account::ChangePasswordWindow window(*m_env->context);
        window.show();
        auto *password = child<QLineEdit>(window, "Text2");
        typeText(password, QStringLiteral("correcthorsebatterystaple"));
        QCOMPARE(child<StrengthBar>(window, "Strength")->strength().level, 2);
        window.reject();
        QCOMPARE(password->text(), QString());
    }

    // Each password the generator lists is drawn with its strength; closing the window
    // takes the list, the chosen password and its copy on the clipboard with it.
    void inTheGeneratorList()
    {
        zorbin::tools::PasswordGeneratorWindow window;
        window.show();
        auto *list = child<QListWidget>(window, "txtpword");
        QVERIFY(dynamic_cast<zorbin::common::StrengthItemDelegate *>(list->itemDelegate()));
        QTest::mouseClick(child<QPushButton>(window, "cmdGen"), Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        const int wide = list->sizeHintForColumn(0);
        QVERIFY(wide > QFontMetrics(list->font()).horizontalAdvance(list->item(0)->text()) + 90);
        auto *chosen = child<QLineEdit>(window, "Text1");
        chosen->setText(list->item(0)->text());
        QTest::mouseClick(child<QPushButton>(window, "Copy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), chosen->text());
        window.reject();
        QCOMPARE(list->count(), 0);
        QCOMPARE(chosen->text(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

#ifdef ZORBIN_SCREENSHOTS
    // Pictures for a person to look at; with ZORBIN_SHOT set to a folder.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
        if (folder.isEmpty())
            QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
        const auto shot = [&](QWidget &window, const char *name) {
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::qWait(300);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') +
                                                                         QLatin1String(name)));
            window.hide();
        };
        zorbin::account::ChangePasswordWindow pass(*m_env->context);
        child<QCheckBox>(pass, "Check1")->click();
        child<QLineEdit>(pass, "Text2")->setText(QStringLiteral("correcthorsebatterystaple"));
        shot(pass, "change-password-strength.png");
        zorbin::tools::PasswordGeneratorWindow generator;
        child<QCheckBox>(generator, "chkAll")->click();
        child<QLineEdit>(generator, "txtChars")->setText(QStringLiteral("33"));
        child<QLineEdit>(generator, "txtChars")->setFocus();
        for (int i = 0; i < 3; ++i)
            child<QPushButton>(generator, "cmdGen")->click();
        shot(generator, "generator-strength.png");
    }
#endif
};

QTEST_MAIN(TestStrengthBar)
#include "tst_strengthbar.moc"
