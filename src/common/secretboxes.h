#pragma once

#include <QList>

class QDialog;
class QLineEdit;
class QString;

namespace zorbin::common {

// Overwrites the text a box holds with zeros and leaves the box empty, so a password does
// not linger in freed memory.
void wipe(QLineEdit *box);
// Overwrites a string the caller owns.
void wipe(QString &text);

// Wipes the boxes whenever `window` closes (saved, cancelled, Escape or its close box).
// Hiding it, as the program lock does, leaves them alone.
void wipeWhenClosed(QDialog *window, const QList<QLineEdit *> &boxes);

} // namespace zorbin::common
