#pragma once

#include <QFont>
#include <QPushButton>
#include <QString>

class QApplication;
class QLabel;

namespace zorbin::common {

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

// A push button with an icon and a caption, the icon at the reading start (the right in a
// right-to-left window) and the caption beside it, the two centred together. Qt's own
// drawing pushes a right-to-left caption against the button's far edge, where its last
// letter, which reaches past its advance, is cut.
class IconTextButton : public QPushButton
{
public:
    IconTextButton(const QIcon &icon, const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Where the icon and the caption are drawn.
    QRect iconRect() const;
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int gap() const;
    int captionWidth() const;
};

} // namespace zorbin::common
