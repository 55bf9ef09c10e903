#pragma once

#include "foundation/IWebView.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

// The web pane's view where the web engine cannot run: fetches a page itself
// and shows its HTML as the text browser can (no script, no pictures, nothing
// fetched but the page, no page larger than the browser lays out in about a
// second), and asks the host before every address, link and redirect as the
// engine's view does.
class TextWebView : public QObject, public IWebView
{
    Q_OBJECT
public:
    TextWebView(QWidget *parent, IWebViewHost &host);
    ~TextWebView() override;

    QWidget *widget() override;
    void load(const QUrl &url) override;
    QUrl url() const override;
    void back() override;
    void forward() override;
    void stop() override;
    void reload() override;

private:
    void show(const QUrl &url);
    void display(const QUrl &url, const QString &html);
    void fetch(const QUrl &url);
    void take(QNetworkReply *reply);
    void fetched(QNetworkReply *reply);
    void redirect(const QUrl &target);

    IWebViewHost &m_host;
    QPointer<QTextBrowser> m_browser;
    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_page;
    int m_redirects = 0;
    QList<QUrl> m_history;
    qsizetype m_current = -1;
};
