#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorbin::store {

// Search folding: Latin letters without case, the Arabic and Persian forms of yeh and
// kaf alike, Persian, Arabic-Indic and Latin digits alike. Stored texts are never
// rewritten; only comparisons fold.
char32_t foldChar(char32_t c);
QByteArray foldUtf8(const QByteArray &utf8);
bool foldedStartsWith(const char *text, int textLen, const QByteArray &foldedPrefix);

// Spellings of the leading characters of `prefix` that the index must be asked for,
// at most `limit` of them; each is lower case in ASCII. The rest of the prefix is left
// to the folded comparison.
QStringList prefixVariants(const QString &prefix, int limit = 16);

// The smallest byte string above every string that starts with `lowerUtf8` under the
// index's case-insensitive ordering.
QByteArray prefixUpperBound(const QByteArray &lowerUtf8);

} // namespace zorbin::store
