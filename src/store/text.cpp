#include "store/text.h"

namespace zorbin::store {

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString shortened(const QString &text, qsizetype max)
{
    if (text.size() <= max)
        return text;
    qsizetype keep = max - 1;
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("…");
}

} // namespace zorbin::store
