#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zorbin::tools {

// The password generator: passwords drawn from the chosen character classes, listed, and
// copied to the clipboard or appended to a text file. It touches no database.
class PasswordGeneratorWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordGeneratorWindow(QWidget *parent = nullptr);
    ~PasswordGeneratorWindow() override;

    // The length every new password has: the last text the length box accepted.
    int acceptedLength() const { return m_length; }

public Q_SLOTS:
    void generate();
    void copyPassword();
    void clearList();
    void savePassword();

private:
    void makeControls();
    void layOut();
    void connectControls();
    // The length box lost the focus to another control of this window: its text becomes
    // the accepted length, or the box goes back to "10" after a beep and a message.
    bool checkLength();
    void lengthFocusChanged(QWidget *old, QWidget *now);
    void lengthEntered();
    void selectAllClicked(bool checked);
    void classesChanged();

    int m_length = 10;
    bool m_checkingLength = false;
    QLabel *m_lengthLabel = nullptr;
    QLineEdit *m_lengthBox = nullptr;
    std::array<QCheckBox *, 4> m_classes{};
    QCheckBox *m_all = nullptr;
    QLineEdit *m_other = nullptr;
    QListWidget *m_list = nullptr;
    QLineEdit *m_chosen = nullptr;
    QPushButton *m_generate = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_clear = nullptr;
};

} // namespace zorbin::tools
