#pragma once

#include <QStringList>

class QComboBox;
class QWidget;

namespace zorbin::ui {

// The security questions offered by the change-password and recovery windows, in order;
// a question is stored as the whole entry, number and full stop included.
const QStringList &securityQuestions();

// An editable question box holding the questions, its text empty; choosing one leaves the
// typed text alone in the list. Its text is never cut.
QComboBox *makeQuestionBox(QWidget *parent);

} // namespace zorbin::ui
