#include "sites/site.h"

Site::Site(zorbin::ui::Context &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Site"));
}
