#pragma once

#include <QString>

namespace zorbin::store {

// Leading and trailing blanks off, as typed texts are compared and stored; tabs and line
// breaks are part of the text.
QString trimBlanks(const QString &text);

} // namespace zorbin::store
