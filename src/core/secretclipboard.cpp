#include "core/secretclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace zorbin::core {

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
    if (text.isEmpty())
        return;
    QTimer::singleShot(clearAfterMs, qApp, [text] {
        QClipboard *board = QGuiApplication::clipboard();
        if (board && board->text() == text)
            board->clear();
    });
}

} // namespace zorbin::core
