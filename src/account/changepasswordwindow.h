#pragma once

#include "common/context.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zorbin::common {
class StrengthBar;
}

namespace zorbin::account {

// Change password: a new password with a new security question and answer, written to
// the first account (its user name stays). The old password is not asked for.
class ChangePasswordWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void change();

private:
    void makeControls();
    void layOut();
    void connectControls();
    void showPasswordClicked(bool shown);
    void openGenerator();

    zorbin::common::Context &m_context;
    QComboBox *m_question = nullptr;
    QLineEdit *m_answer = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_repeat = nullptr;
    zorbin::common::StrengthBar *m_strength = nullptr;
    QCheckBox *m_show = nullptr;
    QPushButton *m_generator = nullptr;
    QPushButton *m_change = nullptr;
};

} // namespace zorbin::account
