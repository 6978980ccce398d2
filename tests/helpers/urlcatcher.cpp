#include "helpers/urlcatcher.h"

#include <QDesktopServices>

namespace {
const char *const kSchemes[] = {"http", "https", "mailto", "tel", "file"};
} // namespace

UrlCatcher::UrlCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "take");
}

UrlCatcher::~UrlCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}
