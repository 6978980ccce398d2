#pragma once

#include <QLabel>

namespace zorbin::common {

// A one-line label that never widens its window: a text longer than the room it is given
// ends in "…" on screen, while text() and the screen reader keep it whole.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zorbin::common
