#include "common/strengthbar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

using zorbin::core::PasswordStrength;
using zorbin::core::Strength;

namespace zorbin::common {

namespace {
constexpr int kBarWidth = 90;
constexpr int kBarHeight = 8;
constexpr int kGap = 6;

// The widest text the label can show, so the window does not jump as the word changes.
QString widestText()
{
    return PasswordStrength::describe({888, 4});
}
} // namespace

class StrengthBar::Bar : public QWidget
{
public:
    explicit Bar(StrengthBar *owner) : QWidget(owner), m_owner(owner)
    {
        setFixedSize(kBarWidth, kBarHeight + 4);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintBar(painter, rect().adjusted(0, 2, 0, -2), m_owner->m_strength, m_owner->m_empty,
                 layoutDirection());
    }

private:
    StrengthBar *m_owner;
};

StrengthBar::StrengthBar(QWidget *parent) : QWidget(parent)
{
    m_bar = new Bar(this);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("StrengthText"));
    m_label->setMinimumWidth(m_label->fontMetrics().horizontalAdvance(widestText()) + 4);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGap);
    layout->addWidget(m_bar, 0, Qt::AlignVCenter);
    layout->addWidget(m_label, 1);
    setAccessibleName(QStringLiteral("قدرت رمز عبور"));
}

void StrengthBar::follow(QLineEdit *box)
{
    connect(box, &QLineEdit::textChanged, this, &StrengthBar::setPassword);
    setPassword(box->text());
}

void StrengthBar::setPassword(const QString &password)
{
    m_empty = password.isEmpty();
    m_strength = PasswordStrength::estimate(password);
    m_label->setText(text());
    m_bar->update();
}

QString StrengthBar::text() const
{
    return m_empty ? QString() : PasswordStrength::describe(m_strength);
}

QColor StrengthBar::colour(int level)
{
    static const QColor colours[PasswordStrength::kLevels] = {
        QColor(0xc6, 0x28, 0x28), QColor(0xef, 0x6c, 0x00), QColor(0xf9, 0xa8, 0x25),
        QColor(0x7c, 0xb3, 0x42), QColor(0x2e, 0x7d, 0x32)};
    return colours[std::clamp(level, 0, PasswordStrength::kLevels - 1)];
}

void StrengthBar::paintBar(QPainter &painter, const QRect &rect, const Strength &strength,
                           bool empty, Qt::LayoutDirection direction)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = rect.height() / 2.0;
    painter.setBrush(QColor(0xdd, 0xdd, 0xdd));
    painter.drawRoundedRect(QRectF(rect), radius, radius);
    if (!empty) {
        const int filled = rect.width() * (strength.level + 1) / PasswordStrength::kLevels;
        QRectF part(rect.x(), rect.y(), filled, rect.height());
        if (direction == Qt::RightToLeft)
            part.moveRight(rect.x() + rect.width());
        painter.setBrush(colour(strength.level));
        painter.drawRoundedRect(part, radius, radius);
    }
    painter.restore();
}

// --- list rows ----------------------------------------------------------------------------

int StrengthItemDelegate::strengthWidth(const QFontMetrics &metrics)
{
    return kBarWidth + kGap + metrics.horizontalAdvance(widestText()) + 2 * kGap;
}

QSize StrengthItemDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += strengthWidth(option.fontMetrics);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 4));
    return size;
}

void StrengthItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    // The password keeps the row's start; the strength takes the far end.
    const bool rtl = option.direction == Qt::RightToLeft;
    const int reserved = std::min(strengthWidth(option.fontMetrics), option.rect.width() / 2);
    QStyleOptionViewItem textOption(option);
    QRect strengthRect = option.rect;
    if (rtl) {
        textOption.rect.setLeft(option.rect.left() + reserved);
        strengthRect.setWidth(reserved);
    } else {
        textOption.rect.setRight(option.rect.right() - reserved);
        strengthRect.setLeft(option.rect.right() - reserved + 1);
    }
    // The selection colour runs under the whole row.
    QStyleOptionViewItem background(option);
    background.text.clear();
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);
    QStyledItemDelegate::paint(painter, textOption, index);

    const QString password = index.data(Qt::DisplayRole).toString();
    const Strength strength = PasswordStrength::estimate(password);
    const QString words = password.isEmpty() ? QString() : PasswordStrength::describe(strength);
    const QRect inner = strengthRect.adjusted(kGap, 0, -kGap, 0);
    // Bar at the reading start of the strength area, the words after it.
    QRect barRect(0, 0, kBarWidth, kBarHeight);
    barRect.moveCenter(QPoint(0, inner.center().y()));
    QRect wordRect = inner;
    if (rtl) {
        barRect.moveRight(inner.right());
        wordRect.setRight(barRect.left() - kGap);
    } else {
        barRect.moveLeft(inner.left());
        wordRect.setLeft(barRect.right() + kGap);
    }
    StrengthBar::paintBar(*painter, barRect, strength, password.isEmpty(), option.direction);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setLayoutDirection(Qt::RightToLeft);
    painter->drawText(wordRect, Qt::AlignVCenter | (rtl ? Qt::AlignRight : Qt::AlignLeft), words);
    painter->restore();
}

} // namespace zorbin::common
