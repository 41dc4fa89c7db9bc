#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Takes the addresses the program hands to the desktop's opener (QDesktopServices::setUrlHandler),
// so that no browser starts during a test.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};
