#pragma once

#include "common/context.h"

#include <QDialog>

// The subject list: add, rename and delete subjects.
class Category : public QDialog
{
    Q_OBJECT
public:
    explicit Category(zorbin::ui::Context &context, QWidget *parent = nullptr);

private:
    zorbin::ui::Context &m_context;
};
