#pragma once

#include "common/context.h"

#include <QMainWindow>

// The home window after login: the site list with its search, menus and status area.
class Main_Page : public QMainWindow
{
    Q_OBJECT
public:
    explicit Main_Page(zorbin::ui::Context &context, QWidget *parent = nullptr);

private:
    zorbin::ui::Context &m_context;
};
