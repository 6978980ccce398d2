#pragma once

#include "common/context.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zorbin::account {

// Password recovery: the first account's password, given back when the security
// question and its answer match the stored ones.
class PasswordRecoveryWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordRecoveryWindow(zorbin::common::Context &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void showPassword();
    void copyPassword();

private:
    void makeControls();
    void layOut();
    void connectControls();

    zorbin::common::Context &m_context;
    QComboBox *m_question = nullptr;
    QLineEdit *m_answer = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_show = nullptr;
};

} // namespace zorbin::account
