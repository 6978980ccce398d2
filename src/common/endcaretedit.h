#pragma once

#include <QLineEdit>

namespace zorbin::common {

// A box that puts the caret after its text whenever it takes the focus, so typing goes on
// after a prefilled prefix ("http://").
class EndCaretEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent *event) override;
};

} // namespace zorbin::common
