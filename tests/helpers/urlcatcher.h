#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Takes every URL the program hands to the desktop (web, mail, telephone and file links)
// while it lives, instead of a browser or mail program.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;

    QList<QUrl> urls;

public Q_SLOTS:
    void take(const QUrl &url) { urls << url; }
};
