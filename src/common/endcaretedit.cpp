#include "common/endcaretedit.h"

namespace zorbin::common {

void EndCaretEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    end(false);
}

} // namespace zorbin::common
