#pragma once

#include <QFont>
#include <QString>

class QAbstractButton;
class QApplication;
class QLabel;

namespace zorbin::ui {

// Right to left, Persian texts of Qt's own dialogs, the bundled font loaded.
void setupApplication(QApplication &app);

// `preferred` when it is installed, else the bundled Vazirmatn.
QString fontFamily(const QString &preferred);
QFont font(const QString &preferred, int pointSize);

// The window fonts: "B Yekan", then "Tahoma", then Vazirmatn.
QFont windowFont(int pointSize = 9);
// The menu bar's font: "b Koodak" at 8 points, else Vazirmatn.
QFont menuFont(int pointSize = 8);

QString bundledFamily();

// Captions written colon first (":عنوان") read "عنوان:" only when laid out left to right;
// they are kept flush right like every other caption.
void keepVisualOrder(QLabel *label);

// A message written line by line for a left-to-right reading, as the program's messages
// have always been, shown in a right-to-left box. A line whose first visible character is
// not a right-to-left letter ("(نسخه ...", "021-... :تلفن", a Latin line, a path) keeps
// its left-to-right reading and is only pushed to the right; a line that starts with a
// Persian word reads right to left as before.
QString inWrittenOrder(const QString &text);

// `caption` without its keyboard mnemonic when it holds Persian (Arabic-script) letters:
// the underlined letter would break the joining of the word ("&نه"). "&&" stays a "&".
QString withoutPersianMnemonic(const QString &caption);

// An icon-and-text button wide enough for its whole caption: Persian letters at the end of
// a word reach past their advance, and the last one would touch the button's edge.
void giveCaptionRoom(QAbstractButton *button);

} // namespace zorbin::ui
