#include "common/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QTextOption>
#include <QTranslator>

namespace zorbin::ui {

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

void setupApplication(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    app.setLayoutDirection(Qt::RightToLeft);
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Persian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    app.setFont(windowFont(9));
}

} // namespace zorbin::ui
