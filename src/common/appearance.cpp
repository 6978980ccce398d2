#include "common/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
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
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Vazirmatn-Regular.ttf"));
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
