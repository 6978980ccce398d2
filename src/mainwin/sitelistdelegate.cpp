#include "mainwin/sitelistdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextOption>
#include <QtMath>

namespace zorbin::mainwin {

void SiteListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // Only plain single-line text is kept; anything else is painted the usual way.
    if (opt.text.isEmpty() || (opt.features & QStyleOptionViewItem::WrapText) ||
        opt.text.contains(QChar::LineFeed) || opt.text.contains(QChar::LineSeparator) ||
        opt.text.contains(QChar::CarriageReturn)) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        return;
    }

    // The cell without its text: background, selection, focus; then where the style puts
    // the text, which for a single line does not depend on the text itself (asking with
    // the text would lay it out once more).
    const QString text = opt.text;
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);

    // The text as the style draws it: inside the focus frame's margin, in the text colour
    // of the cell's state, aligned in the cell's direction.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect inner = textRect.adjusted(margin, 0, -margin, 0);
    if (inner.width() <= 0)
        return;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled)  ? QPalette::Disabled
                                       : !(opt.state & QStyle::State_Active) ? QPalette::Inactive
                                                                             : QPalette::Normal;
    const QStaticText &laid = laidOut(opt, text, inner.width());
    const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment,
                                         QSize(inner.width(), qCeil(laid.size().height())), inner);
    painter->save();
    painter->setPen(opt.palette.color(
        group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    painter->setClipRect(inner, Qt::IntersectClip);
    painter->drawStaticText(at.topLeft(), laid);
    painter->restore();
}

const QStaticText &SiteListDelegate::laidOut(const QStyleOptionViewItem &option,
                                             const QString &text, int width) const
{
    if (option.font != m_font) {
        m_texts.clear();
        m_font = option.font;
    }
    const Key key{text, width, int(option.displayAlignment), int(option.direction),
                  int(option.textElideMode)};
    auto it = m_texts.constFind(key);
    if (it != m_texts.constEnd())
        return *it;
    if (m_texts.size() >= MaxCachedTexts)
        m_texts.clear();

    const QFontMetrics metrics(option.font);
    const QString shown = metrics.horizontalAdvance(text) > width
                              ? metrics.elidedText(text, option.textElideMode, width)
                              : text;
    QStaticText laid(shown);
    laid.setTextFormat(Qt::PlainText);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTextDirection(option.direction);
    textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
    laid.setTextOption(textOption);
    // Laid out across the whole cell, so that the alignment above places it.
    laid.setTextWidth(width);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), option.font);
    return *m_texts.insert(key, laid);
}

} // namespace zorbin::mainwin
