#include "account/login.h"

Login::Login(zorbin::ui::Context &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("Login"));
}
