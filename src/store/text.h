#pragma once

#include <QString>

namespace zorbin::store {

// Leading and trailing blanks off, as typed texts are compared and stored; tabs and line
// breaks are part of the text.
QString trimBlanks(const QString &text);

// `text` as a message quotes it: a text longer than `max` characters is cut to fit and
// ends in "…", never in half a character.
QString shortened(const QString &text, qsizetype max = 100);

} // namespace zorbin::store
