#pragma once

#include <QStringList>

#include <initializer_list>

class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace zorbin::account {

// The security questions offered by the change-password and recovery windows, in order;
// a question is stored as the whole entry, number and full stop included.
const QStringList &securityQuestions();

// An editable question box holding the questions, its text empty; choosing one leaves the
// typed text alone in the list. Its text is never cut.
QComboBox *makeQuestionBox(QWidget *parent);

// The answer box `Text1` under the question; its text is never cut.
QLineEdit *makeAnswerBox(QWidget *parent);

// What the two account windows share as they open: name, caption, the key icon, a title
// bar with only a close button, and the window font.
void setUpAccountWindow(QDialog *window, const QString &name, const QString &caption);

// Enter belongs to the boxes of these windows; none of `buttons` answers it on its own.
void leaveEnterToBoxes(std::initializer_list<QPushButton *> buttons);

} // namespace zorbin::account
