#include "core/secretclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

using zorbin::core::copySecret;

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
};

QTEST_MAIN(TstSecretClipboard)
#include "tst_secretclipboard.moc"
