#include "store/connectiontext.h"

#include <QDir>

namespace zorbin::store {

QString connectionText(const QString &folder, bool finalSemicolon)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    QString text = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                   QStringLiteral(";Jet OLEDB:Database Password=") +
                   QString::fromLatin1(kDatabasePassword);
    if (finalSemicolon)
        text += QLatin1Char(';');
    return text;
}

std::optional<ConnectionInfo> parseConnectionText(const QString &text)
{
    ConnectionInfo info;
    bool haveSource = false;
    const auto items = text.split(QLatin1Char(';'));
    for (const QString &item : items) {
        if (item.trimmed().isEmpty())
            continue;
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1);
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
            info.provider = value.trimmed();
        } else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
            info.dataSource = value.trimmed();
            haveSource = !info.dataSource.isEmpty();
        } else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) ==
                   0) {
            info.password = value;
        }
    }
    if (!haveSource)
        return std::nullopt;
    return info;
}

} // namespace zorbin::store
