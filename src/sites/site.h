#pragma once

#include "common/context.h"

#include <QDialog>

// The site editor: new, edit and view mode, chosen by the shared selection state when
// the window becomes active.
class Site : public QDialog
{
    Q_OBJECT
public:
    explicit Site(zorbin::ui::Context &context, QWidget *parent = nullptr);

private:
    zorbin::ui::Context &m_context;
};
