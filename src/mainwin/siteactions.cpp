#include "mainwin/siteactions.h"

#include <QWidget>

SiteActions::SiteActions(zorbin::ui::Context &context, SiteListAccess &list, QWidget *owner)
    : QObject(owner), m_context(context), m_list(list), m_owner(owner)
{
}

void SiteActions::dispatch(int) {}

void SiteActions::printSelectedRow() {}
