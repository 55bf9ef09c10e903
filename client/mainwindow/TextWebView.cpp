#include "TextWebView.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>

TextWebView::TextWebView(QWidget *parent, IWebViewHost &host)
    : m_host(host), m_browser(new QTextBrowser(parent)), m_network(new QNetworkAccessManager(this))
{
    m_browser->setObjectName(QStringLiteral("oWebBrowser"));
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { load(url().resolved(link)); });
}

TextWebView::~TextWebView()
{
    if (m_reply)
        m_reply->disconnect(); // the host may be going too: no word of the cut load
    delete m_browser;
}

QWidget *TextWebView::widget()
{
    return m_browser;
}

void TextWebView::load(const QUrl &url)
{
    if (!m_host.mayOpen(url))
        return;
    m_history.resize(m_current + 1);
    m_history.append(url);
    m_current = m_history.size() - 1;
    show(url);
}

QUrl TextWebView::url() const
{
    return m_current < 0 ? QUrl() : m_history.at(m_current);
}

void TextWebView::back()
{
    if (m_current > 0)
        show(m_history.at(--m_current));
}

void TextWebView::forward()
{
    if (m_current + 1 < m_history.size())
        show(m_history.at(++m_current));
}

void TextWebView::stop()
{
    if (m_reply)
        m_reply->abort();
}

void TextWebView::reload()
{
    if (m_current >= 0)
        show(url());
}

void TextWebView::show(const QUrl &url)
{
    stop();
    m_host.loadStarted();
    if (url.isLocalFile()) { // a generated page: the host lets no other file through
        m_browser->setSource(url);
        m_host.loadFinished(true);
    } else if (url.scheme() == QLatin1String("about")) {
        m_browser->clear();
        m_host.loadFinished(true);
    } else {
        fetch(url);
    }
}

void TextWebView::fetch(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::redirected, reply, [this, reply](const QUrl &target) {
        if (m_host.mayOpen(target))
            Q_EMIT reply->redirectAllowed();
        else
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fetched(reply); });
}

void TextWebView::fetched(QNetworkReply *reply)
{
    reply->deleteLater();
    const bool ok = reply->error() == QNetworkReply::NoError;
    if (ok) {
        const QUrl where = reply->url();
        m_history[m_current] = where; // after redirects: relative links resolve against it
        m_browser->document()->setBaseUrl(where);
        m_browser->setHtml(QString::fromUtf8(reply->readAll()));
    } else {
        m_browser->setPlainText(reply->errorString());
    }
    m_host.loadFinished(ok);
}
