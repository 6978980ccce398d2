#pragma once

#include <QString>
#include <QUrl>

namespace zorbin::common::desktop {

// A web address as the browser should get it: an address typed without a scheme
// ("www.example.com") gets "http://"; an empty address gives an invalid URL.
QUrl addressUrl(const QString &address);

// A mailto link with every part percent-encoded, so "&", "#" and Persian text arrive
// whole. An empty recipient gives "mailto:?subject=...".
QUrl mailtoUrl(const QString &to, const QString &subject, const QString &body);

// A tel: link for the number, which a linked phone or softphone dials.
QUrl telUrl(const QString &number);

// Hand the address to the browser. Nothing happens for an empty address. Returns false
// when nothing could take it.
bool openAddress(const QString &address);
bool openUrl(const QUrl &url);
bool openFile(const QString &path);

} // namespace zorbin::common::desktop
