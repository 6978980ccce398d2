#include "core/secretclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

using zorbin::core::copySecret;
using zorbin::core::forgetSecret;

class TstSecretClipboard : public QObject
{
    Q_OBJECT

private slots:
    // A copied password is cleared after its time unless something else was copied since.
    void clearedLater()
    {
        QClipboard *board = QGuiApplication::clipboard();
        copySecret(QStringLiteral("s3cret"), 100);
        QCOMPARE(board->text(), QStringLiteral("s3cret"));
        QCOMPARE(board->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")),
                 QByteArray("secret"));
        QTRY_COMPARE_WITH_TIMEOUT(board->text(), QString(), 5000);

        copySecret(QStringLiteral("other"), 100);
        board->setText(QStringLiteral("copied by the user"));
        QTest::qWait(300);
        QCOMPARE(board->text(), QStringLiteral("copied by the user"));

        // Copy with nothing chosen puts an empty text on the clipboard.
        copySecret(QString(), 100);
        QCOMPARE(board->text(), QString());
    }

    // Forgetting clears our own copy at once, never what the user copied after it.
    void forgottenAtOnce()
    {
        QClipboard *board = QGuiApplication::clipboard();
        copySecret(QStringLiteral("s3cret"));
        forgetSecret();
        QCOMPARE(board->text(), QString());
        copySecret(QStringLiteral("s3cret"));
        board->setText(QStringLiteral("copied by the user"));
        forgetSecret();
        QCOMPARE(board->text(), QStringLiteral("copied by the user"));
    }
};

QTEST_MAIN(TstSecretClipboard)
#include "tst_secretclipboard.moc"
