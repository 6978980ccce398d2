#include "common/banner.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <utility>

namespace zorbin::common {

Banner::Banner(const QString &iconPath, QWidget *parent) : QWidget(parent), m_iconPath(iconPath)
{
    setObjectName(QStringLiteral("Banner"));
    setFixedHeight(56);
}

void Banner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(rect().topLeft(), rect().topRight());
    g.setColorAt(0, QColor(0x0b, 0x3d, 0x6e));
    g.setColorAt(1, QColor(0x1f, 0x8a, 0x9e));
    p.fillRect(rect(), g);

    const int side = 32;
    const int margin = 14;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    QPixmap mark = QIcon(m_iconPath).pixmap(side, side);
    {
        QPainter tint(&mark);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(mark.rect(), Qt::white);
    }
    const int iconX = rtl ? width() - margin - side : margin;
    p.drawPixmap(iconX, (height() - side) / 2, side, side, mark);

    // The window's caption beside the icon, the program's name at the other end.
    const QRect textRect = rect().adjusted(margin + side + 12, 0, -(margin + side + 12), 0);
    const Qt::Alignment near = Qt::AlignAbsolute | (rtl ? Qt::AlignRight : Qt::AlignLeft);
    const Qt::Alignment far = Qt::AlignAbsolute | (rtl ? Qt::AlignLeft : Qt::AlignRight);
    QFont f = font();
    f.setPointSize(f.pointSize() + 5);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignVCenter | near, window()->windowTitle());
    f.setPointSize(f.pointSize() - 2);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 190));
    p.drawText(rect().adjusted(margin, 0, -margin, 0), Qt::AlignVCenter | far,
               QStringLiteral("Zorbin"));
}

QIcon tintedIcon(const QString &path, const QColor &color)
{
    QIcon icon;
    for (int side : {16, 24, 32, 48}) {
        QPixmap pm = QIcon(path).pixmap(side, side);
        QPainter p(&pm);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(pm.rect(), color);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace zorbin::common
