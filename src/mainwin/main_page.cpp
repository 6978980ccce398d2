#include "mainwin/main_page.h"

Main_Page::Main_Page(zorbin::ui::Context &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("Main_Page"));
}
