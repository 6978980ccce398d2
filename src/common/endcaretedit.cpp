#include "common/endcaretedit.h"

namespace zorbin::ui {

void EndCaretEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    end(false);
}

} // namespace zorbin::ui
