#include "common/secretboxes.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>

namespace zorbin::common {

void wipe(QString &text)
{
    // Writing through begin() copies the text first only if it is shared; a sole owner
    // is overwritten where it lies.
    std::fill(text.begin(), text.end(), QChar(0));
    text.clear();
}

void wipe(QLineEdit *box)
{
    QString held = box->text(); // shares the box's buffer
    box->setText(QString());    // now only `held` has it
    wipe(held);
}

void wipeWhenClosed(QDialog *window, const QList<QLineEdit *> &boxes)
{
    QList<QPointer<QLineEdit>> kept(boxes.cbegin(), boxes.cend());
    QObject::connect(window, &QDialog::finished, window, [kept] {
        for (const QPointer<QLineEdit> &box : kept)
            if (box)
                wipe(box);
    });
}

} // namespace zorbin::common
