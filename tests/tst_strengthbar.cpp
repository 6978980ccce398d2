#include "common/strengthbar.h"
#include "helpers/widgets.h"
#include "helpers/windowtestcase.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

using zorbin::common::StrengthBar;

namespace {

// Notes when the watched widget last painted.
class PaintSpy : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

struct Box
{
    Box()
    {
        auto *layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        bar = new StrengthBar(&window);
        layout->addWidget(edit);
        layout->addWidget(bar);
        bar->follow(edit);
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
        edit->setFocus();
    }
    QWidget window;
    QLineEdit *edit;
    StrengthBar *bar;
    bool active = false;
};

} // namespace

class TestStrengthBar : public WindowTestCase
{
    Q_OBJECT

private slots:
    // The bar follows the box as it is typed and as it is set, and is empty for nothing.
    void followsTheBox()
    {
        Box b;
        QVERIFY(b.active);
        QCOMPARE(b.bar->text(), QString());
        typeText(b.edit, QStringLiteral("123456"));
        QCOMPARE(b.bar->strength().level, 0);
        QVERIFY(b.bar->text().startsWith(QStringLiteral("خيلي ضعيف (")));
        b.edit->setText(QStringLiteral("Xk9#mQ2!vL7$pR4@wZ8^nB3&jT6*hF1%s"));
        QCOMPARE(b.bar->strength().level, 4);
        QCOMPARE(child<QLabel>(*b.bar, "StrengthText")->text(), b.bar->text());
        b.edit->clear();
        QCOMPARE(b.bar->text(), QString());
    }

    // Typing a 33-character password key by key: each key's repaint of the bar comes well
    // inside one frame (16 ms).
    void keystrokeToRepaint()
    {
        Box b;
        QVERIFY(b.active);
        auto *label = child<QLabel>(*b.bar, "StrengthText");
        PaintSpy spy;
        label->installEventFilter(&spy);
        const QString password = QStringLiteral("Xk9#mQ2!vL7$pR4@wZ8^nB3&jT6*hF1%s");
        QCOMPARE(password.size(), 33);
        qint64 total = 0, worst = 0;
        for (const QChar ch : password) {
            spy.painted = false;
            QElapsedTimer timer;
            timer.start();
            QTest::sendKeyEvent(QTest::Click, b.edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            while (!spy.painted && timer.elapsed() < 1000)
                QCoreApplication::processEvents();
            const qint64 ns = timer.nsecsElapsed();
            QVERIFY(spy.painted);
            total += ns;
            worst = std::max(worst, ns);
        }
        qInfo("keystroke to repaint, 33 characters: mean %.2f ms, worst %.2f ms",
              total / 33.0 / 1e6, worst / 1e6);
        QCOMPARE(b.edit->text(), password);
        QVERIFY(worst < 16'000'000);
    }

    // Pictures for a person to look at; with ZORBIN_SHOT set to a folder.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("ZORBIN_SHOT");
        if (folder.isEmpty())
            QSKIP("set ZORBIN_SHOT to a folder to take the pictures");
        Box b;
        QVERIFY(b.active);
        typeText(b.edit, QStringLiteral("Tr0ub4dor&3"));
        QTest::qWait(300);
        QVERIFY(b.window.grab().save(folder + QStringLiteral("/strength-box.png")));
    }
};

QTEST_MAIN(TestStrengthBar)
#include "tst_strengthbar.moc"
