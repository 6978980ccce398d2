#pragma once

#include <QFont>
#include <QString>

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

} // namespace zorbin::ui
