#include "common/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextOption>
#include <QTranslator>
#include <algorithm>

namespace zorbin::common {

namespace {
QString s_bundled;

bool installed(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
} // namespace

QString bundledFamily()
{
    if (s_bundled.isEmpty()) {
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Vazirmatn-Regular.ttf"));
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Vazirmatn-Bold.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        s_bundled = families.isEmpty() ? QStringLiteral("Vazirmatn") : families.first();
    }
    return s_bundled;
}

QString fontFamily(const QString &preferred)
{
    bundledFamily();
    return installed(preferred) ? preferred : bundledFamily();
}

QFont font(const QString &preferred, int pointSize)
{
    QFont f(fontFamily(preferred), pointSize);
    return f;
}

QFont windowFont(int pointSize)
{
    if (installed(QStringLiteral("B Yekan")))
        return QFont(QStringLiteral("B Yekan"), pointSize);
    return font(QStringLiteral("Tahoma"), pointSize);
}

QFont menuFont(int pointSize)
{
    return font(QStringLiteral("b Koodak"), pointSize);
}

namespace {
// Paints a caption as one left-to-right paragraph; a plain label would take the
// paragraph direction from the first Persian letter and move the colon to the right.
class VisualOrderPainter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *label = qobject_cast<QLabel *>(watched);
        if (!label || event->type() != QEvent::Paint)
            return QObject::eventFilter(watched, event);
        QPainter painter(label);
        painter.setFont(label->font());
        painter.setPen(label->palette().color(
            label->isEnabled() ? QPalette::Active : QPalette::Disabled, label->foregroundRole()));
        QTextOption option(label->alignment());
        option.setTextDirection(Qt::LeftToRight);
        option.setWrapMode(label->wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
        painter.drawText(QRectF(label->contentsRect()), label->text(), option);
        return true;
    }
};
} // namespace

void keepVisualOrder(QLabel *label)
{
    static auto *painter = new VisualOrderPainter(qApp);
    label->setLayoutDirection(Qt::LeftToRight);
    label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    label->installEventFilter(painter);
}

QString inWrittenOrder(const QString &text)
{
    // Each line is isolated as a left-to-right run of its own: inside the right-to-left
    // box it is laid out exactly as a left-to-right paragraph would be.
    const QChar isolate(0x2066); // LEFT-TO-RIGHT ISOLATE
    const QChar popIsolate(0x2069);
    QString shown;
    shown.reserve(text.size() + 16);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\r') &&
               text.at(end) != QLatin1Char('\n'))
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        const auto first =
            std::find_if(line.begin(), line.end(), [](QChar c) { return !c.isSpace(); });
        const bool rightToLeft = first == line.end() || first->direction() == QChar::DirR ||
                                 first->direction() == QChar::DirAL;
        if (rightToLeft) {
            shown += line;
        } else {
            shown += isolate;
            shown += line;
            shown += popIsolate;
        }
        // The line break as it was written (CR LF, LF or CR).
        qsizetype next = end;
        if (next < text.size() && text.at(next) == QLatin1Char('\r'))
            ++next;
        if (next < text.size() && text.at(next) == QLatin1Char('\n'))
            ++next;
        shown += QStringView(text).mid(end, next - end);
        if (next == end)
            break;
        start = next;
    }
    return shown;
}

QString withoutPersianMnemonic(const QString &caption)
{
    const bool persian = std::any_of(caption.cbegin(), caption.cend(), [](QChar c) {
        return c.script() == QChar::Script_Arabic && c.isLetter();
    });
    if (!persian || !caption.contains(QLatin1Char('&')))
        return caption;
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i; // "&&" is one "&"; "&x" is "x"
            plain += caption.at(i);
        } else if (caption.at(i) != QLatin1Char('&')) {
            plain += caption.at(i);
        }
    }
    return plain;
}

IconTextButton::IconTextButton(const QIcon &icon, const QString &text, QWidget *parent)
    : QPushButton(icon, text, parent)
{
}

int IconTextButton::gap() const
{
    return fontMetrics().averageCharWidth();
}

int IconTextButton::captionWidth() const
{
    // The ink of the letters, which may reach past their advance, and a letter's room.
    const QFontMetrics metrics = fontMetrics();
    const QRect ink = metrics.boundingRect(text());
    const int advance = metrics.horizontalAdvance(text());
    return advance + std::max(0, -ink.left()) + std::max(0, ink.right() + 1 - advance);
}

QSize IconTextButton::sizeHint() const
{
    const QSize natural = QPushButton::sizeHint();
    // Qt's hint holds the icon, the advance of the caption and the frame; add the ink and
    // a letter's room at either end.
    const int extra = captionWidth() - fontMetrics().horizontalAdvance(text()) + 3 * gap();
    return {natural.width() + extra, natural.height()};
}

QRect IconTextButton::iconRect() const
{
    const QRect all = rect();
    const int group = iconSize().width() + gap() + captionWidth();
    const int start = all.center().x() + group / 2; // the right end of the pair
    QRect icon(QPoint(start - iconSize().width() + 1, all.center().y() - iconSize().height() / 2),
               iconSize());
    return QStyle::visualRect(
        layoutDirection() == Qt::RightToLeft ? Qt::LeftToRight : Qt::RightToLeft, all, icon);
}

QRect IconTextButton::captionRect() const
{
    const QRect all = rect();
    const int group = iconSize().width() + gap() + captionWidth();
    const int left = all.center().x() - group / 2;
    QRect caption(left, all.top(), captionWidth(), all.height());
    return QStyle::visualRect(
        layoutDirection() == Qt::RightToLeft ? Qt::LeftToRight : Qt::RightToLeft, all, caption);
}

void IconTextButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The button's face and frame as the style draws them, without its content.
    QStyleOptionButton face = option;
    face.text.clear();
    face.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, face);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon().paint(&painter, iconRect(), Qt::AlignCenter, mode);
    painter.drawItemText(captionRect(), Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}

namespace {
// Qt's own texts in Persian, without the mnemonics that would split their words.
class PersianQtTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        return withoutPersianMnemonic(
            QTranslator::translate(context, sourceText, disambiguation, n));
    }
};
} // namespace

void setupApplication(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    app.setLayoutDirection(Qt::RightToLeft);
    auto *translator = new PersianQtTexts(&app);
    if (translator->load(QLocale(QLocale::Persian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    app.setFont(windowFont(9));
}

} // namespace zorbin::common
