#include "core/secretclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace zorbin::core {

namespace {
// What copySecret() last put on the clipboard, to know it again.
QString &lastSecret()
{
    static QString text;
    return text;
}
} // namespace

void copySecret(const QString &text, int clearAfterMs)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    auto *data = new QMimeData;
    data->setText(text);
    // Read by KDE's and other clipboard managers: do not keep this in the history.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    clipboard->setMimeData(data);
    lastSecret() = text;
    if (text.isEmpty())
        return;
    QTimer::singleShot(clearAfterMs, qApp, [text] {
        QClipboard *board = QGuiApplication::clipboard();
        if (board && board->text() == text)
            board->clear();
    });
}

void forgetSecret()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard && !lastSecret().isEmpty() && clipboard->text() == lastSecret())
        clipboard->clear();
    lastSecret().clear();
}

} // namespace zorbin::core
