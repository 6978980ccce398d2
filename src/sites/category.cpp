#include "sites/category.h"

Category::Category(zorbin::ui::Context &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Category"));
}
