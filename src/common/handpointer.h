#pragma once

#include <Qt>

class QWidget;

namespace zorbin::common {

// The pointer shown over a link field: the system's hand.
Qt::CursorShape handPointerShape();

// While `hand` is true the mouse pointer over `widget` is the hand; otherwise the widget
// gets back its ordinary pointer `ordinary` (the I-beam of a text box by default). For a
// scroll area (a multi-line text box) the pointer is set on its viewport.
void setHandPointer(QWidget *widget, bool hand = true, Qt::CursorShape ordinary = Qt::IBeamCursor);

} // namespace zorbin::common
