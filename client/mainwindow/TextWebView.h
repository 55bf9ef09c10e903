#pragma once

#include "foundation/IWebView.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class PageReaderProcess;
class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

// The web pane's view where the web engine cannot run: fetches a page itself
// and shows it in the text browser in the pane's own bounded form (no script,
// no pictures, nothing fetched but the page), read in a process of its own
// (PageReaderProcess), no more of it than the window lays out in a fraction of
// a second; and asks the host before every address, link and redirect as the
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
    void display(const QUrl &url, const QByteArray &page, const QByteArray &charset);
    void showHtml(const QUrl &url, const QString &html);
    void fetch(const QUrl &url);
    void take(QNetworkReply *reply);
    void fetched(QNetworkReply *reply);
    void redirect(QNetworkReply *reply);
    void notShown(const QString &why);

    IWebViewHost &m_host;
    QPointer<QTextBrowser> m_browser;
    QNetworkAccessManager *m_network;
    PageReaderProcess *m_reader;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline; // one for the page's fetch, redirects and all
    QByteArray m_page;
    QUrl m_reading; // the page its reader is reading
    int m_redirects = 0;
    QList<QUrl> m_history;
    qsizetype m_current = -1;
};
