#include "common/desktop.h"

#include <QDesktopServices>
#include <QRegularExpression>

namespace zorbin::common::desktop {

QUrl addressUrl(const QString &address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return QUrl();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch())
        return QUrl(text, QUrl::TolerantMode);
    return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
}

QUrl mailtoUrl(const QString &to, const QString &subject, const QString &body)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(to.trimmed());
    const QByteArray query =
        "subject=" + QUrl::toPercentEncoding(subject) + "&body=" + QUrl::toPercentEncoding(body);
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

QUrl telUrl(const QString &number)
{
    // A number typed with Persian or Arabic-Indic digits dials as the same ASCII digits;
    // blanks and the direction marks Persian typing leaves are not part of it.
    QString digits;
    for (const QChar c : number) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
        else if (!c.isSpace() && c.category() != QChar::Other_Format)
            digits += c;
    }
    QUrl url;
    url.setScheme(QStringLiteral("tel"));
    url.setPath(digits);
    return url;
}

bool openUrl(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

bool openAddress(const QString &address)
{
    return openUrl(addressUrl(address));
}

bool openFile(const QString &path)
{
    return openUrl(QUrl::fromLocalFile(path));
}

} // namespace zorbin::common::desktop
