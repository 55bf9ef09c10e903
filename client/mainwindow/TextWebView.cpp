#include "TextWebView.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QTimer>

namespace {

// What one page may weigh and how long its fetch may take. Beyond either the
// fetch is cut off, so a server that never ends its page or never answers
// can neither fill the memory nor hold the pane.
constexpr qint64 kPageLimit = 4 * 1024 * 1024;
constexpr int kTimeLimitMs = 30000;
const char kCutOff[] = "tessalyCutOff";

// The pane's document. The text browser's own would read every picture and
// style sheet a page names straight from the disk, whatever the page's
// scheme (an endless one for file:///dev/zero); this one fetches nothing, so
// the pane shows a page's text and never touches a local file for it.
class PageDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

void cutOff(QNetworkReply *reply, const QString &why)
{
    reply->setProperty(kCutOff, why);
    reply->abort();
}

} // namespace

TextWebView::TextWebView(QWidget *parent, IWebViewHost &host)
    : m_host(host), m_browser(new QTextBrowser(parent)), m_network(new QNetworkAccessManager(this))
{
    m_browser->setObjectName(QStringLiteral("oWebBrowser"));
    m_browser->setDocument(new PageDocument(m_browser));
    m_browser->setOpenLinks(false);
    // The browser resolves a relative link against the address it last opened
    // itself; it opens none (pages arrive as text), so links come as written
    // and are resolved here against the page they are on.
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
        QFile page(url.toLocalFile());
        const bool ok = page.open(QIODevice::ReadOnly);
        display(url, ok ? QString::fromUtf8(page.read(kPageLimit)) : QString());
        m_host.loadFinished(ok);
    } else if (url.scheme() == QLatin1String("about")) {
        display(url, QString());
        m_host.loadFinished(true);
    } else {
        fetch(url);
    }
}

void TextWebView::display(const QUrl &url, const QString &html)
{
    m_browser->document()->setBaseUrl(url);
    m_browser->setHtml(html);
}

void TextWebView::fetch(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    // Unpacked here, a small compressed page could grow past the limit unseen.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::redirected, reply, [this, reply](const QUrl &target) {
        if (m_host.mayOpen(target))
            Q_EMIT reply->redirectAllowed();
        else
            cutOff(reply, tr("The page sent the browser on to an address it may not open."));
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kPageLimit || total > kPageLimit)
            cutOff(reply, tr("The page is larger than %1 MB.").arg(kPageLimit / (1024 * 1024)));
    });
    QTimer::singleShot(kTimeLimitMs, reply, [reply] {
        cutOff(reply, tr("The page did not arrive within %1 seconds.").arg(kTimeLimitMs / 1000));
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
        display(where, QString::fromUtf8(reply->readAll()));
    } else {
        const QString why = reply->property(kCutOff).toString();
        m_browser->setPlainText(why.isEmpty() ? reply->errorString() : why);
    }
    m_host.loadFinished(ok);
}
