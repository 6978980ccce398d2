#include "common/handpointer.h"

#include <QAbstractScrollArea>
#include <QWidget>

namespace zorbin::common {

Qt::CursorShape handPointerShape()
{
    return Qt::PointingHandCursor;
}

void setHandPointer(QWidget *widget, bool hand, Qt::CursorShape ordinary)
{
    if (!widget)
        return;
    QWidget *target = widget;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        target = area->viewport();
    target->setCursor(hand ? handPointerShape() : ordinary);
}

} // namespace zorbin::common
