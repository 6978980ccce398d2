#pragma once

#include "common/context.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The first window: the account name list, the password, and the way to recovery.
class Login : public QWidget
{
    Q_OBJECT
public:
    explicit Login(zorbin::ui::Context &context, QWidget *parent = nullptr);

Q_SIGNALS:
    // A name and password matched; the opener shows the main window and closes this one.
    void loggedIn();

private:
    zorbin::ui::Context &m_context;
};
