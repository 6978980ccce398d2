#include "common/elidedlabel.h"

#include <QPainter>
#include <QStyle>

namespace zorbin::common {

namespace {

// The widest a label asks to be: what a name of about forty letters takes.
int widestHint(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QLatin1Char('x')) * 40;
}

} // namespace

QSize ElidedLabel::sizeHint() const
{
    const QSize whole = QLabel::sizeHint();
    return {std::min(whole.width(), widestHint(fontMetrics())), whole.height()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QSize whole = QLabel::minimumSizeHint();
    return {std::min(whole.width(), fontMetrics().horizontalAdvance(QStringLiteral("…")) * 4),
            whole.height()};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

} // namespace zorbin::common
