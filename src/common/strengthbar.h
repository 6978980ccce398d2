#pragma once

#include "core/passwordstrength.h"

#include <QStyledItemDelegate>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPainter;

namespace zorbin::common {

// How strong a password is: a bar in five steps, red to green, and beside it the word and
// the estimated bits ("قوي (72 بيت)"). Empty password: an empty track and no words.
class StrengthBar : public QWidget
{
    Q_OBJECT
public:
    explicit StrengthBar(QWidget *parent = nullptr);

    // Shows the strength of whatever `box` holds, from now on as it is typed.
    void follow(QLineEdit *box);
    void setPassword(const QString &password);

    zorbin::core::Strength strength() const { return m_strength; }
    // The word and bits shown; empty for an empty password.
    QString text() const;

    // The colour of a level.
    static QColor colour(int level);
    // The bar alone in `rect`, filling from the reading start.
    static void paintBar(QPainter &painter, const QRect &rect,
                         const zorbin::core::Strength &strength, bool empty,
                         Qt::LayoutDirection direction);

private:
    class Bar;
    Bar *m_bar = nullptr;
    QLabel *m_label = nullptr;
    zorbin::core::Strength m_strength;
    bool m_empty = true;
};

// For a list of passwords: each row shows its password and, at the row's far end, the
// bar and the word of its strength.
class StrengthItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The width kept for the strength at a row's end.
    static int strengthWidth(const QFontMetrics &metrics);
};

} // namespace zorbin::common
