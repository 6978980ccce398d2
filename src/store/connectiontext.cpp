#include "store/connectiontext.h"

#include <QDir>

namespace zorbin::store {

namespace {

// A value holding ';' or starting with a quote is written in double quotes, a quote
// inside doubled, as connection texts have always done.
QString quotedValue(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.startsWith(QLatin1Char('"')) &&
        !value.startsWith(QLatin1Char('\'')))
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

// Splits the text at the ';' that are not inside a quoted value; quoted values come back
// unquoted.
QList<std::pair<QString, QString>> connectionItems(const QString &text)
{
    QList<std::pair<QString, QString>> items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype end = text.indexOf(QLatin1Char(';'), i);
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0 || (end >= 0 && eq > end)) { // an item without '=' is skipped
            i = end < 0 ? n : end + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed();
        qsizetype v = eq + 1;
        while (v < n && text.at(v) == QLatin1Char(' '))
            ++v;
        if (v < n && (text.at(v) == QLatin1Char('"') || text.at(v) == QLatin1Char('\''))) {
            const QChar quote = text.at(v);
            QString value;
            qsizetype k = v + 1;
            for (; k < n; ++k) {
                if (text.at(k) == quote) {
                    if (k + 1 < n && text.at(k + 1) == quote) {
                        value += quote;
                        ++k;
                        continue;
                    }
                    break;
                }
                value += text.at(k);
            }
            items.append({key, value});
            const qsizetype next = text.indexOf(QLatin1Char(';'), k);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype stop = end < 0 ? n : end;
            items.append({key, text.mid(eq + 1, stop - eq - 1)});
            i = stop + 1;
        }
    }
    return items;
}

} // namespace

QString connectionText(const QString &folder, bool finalSemicolon)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    QString text = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                   quotedValue(path) + QStringLiteral(";Jet OLEDB:Database Password=") +
                   QString::fromLatin1(kDatabasePassword);
    if (finalSemicolon)
        text += QLatin1Char(';');
    return text;
}

std::optional<ConnectionInfo> parseConnectionText(const QString &text)
{
    ConnectionInfo info;
    bool haveSource = false;
    for (const auto &[key, value] : connectionItems(text)) {
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
