#pragma once

#include "common/context.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// Password recovery: the first account's password, given back when the security
// question and its answer match the stored ones.
class Restore : public QDialog
{
    Q_OBJECT
public:
    explicit Restore(zorbin::ui::Context &context, QWidget *parent = nullptr);

public Q_SLOTS:
    void showPassword();
    void copyPassword();

private:
    void makeControls();
    void layOut();
    void connectControls();

    zorbin::ui::Context &m_context;
    QComboBox *m_question = nullptr;
    QLineEdit *m_answer = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_show = nullptr;
};
