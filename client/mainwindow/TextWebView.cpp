#include "TextWebView.h"

#include "PageWeight.h"
#include "WebSchemeRule.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QTextObjectInterface>
#include <QTimer>

namespace {

// What one page may weigh (what the text browser lays out on the window's
// thread in a fraction of a second), how long its fetch may take and how many
// times it may send the browser on. Beyond any of them the fetch is cut off,
// so a server that never ends its page or never answers can neither fill the
// memory nor hold the pane.
constexpr qint64 kPageLimit = PageWeight::ByteLimit;
constexpr int kTimeLimitMs = 30000;
constexpr int kRedirectLimit = 10;
const char kCutOff[] = "tessalyCutOff";

// The pane's document. The text browser's own would read every style sheet
// a page names straight from the disk, whatever the page's scheme (an
// endless one for file:///dev/zero); this one fetches nothing.
class PageDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

// Stands in for every picture of a page. The text browser's own would open
// a picture its document could not load by its name as a path (a FIFO, a
// device, another user's file); this one has no size and draws nothing.
class NoPicture : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &) override { return {}; }
    void drawObject(QPainter *, const QRectF &, QTextDocument *, int, const QTextFormat &) override {}
};

void cutOff(QNetworkReply *reply, const QString &why)
{
    if (!reply->property(kCutOff).isValid())
        reply->setProperty(kCutOff, why);
    reply->abort();
}

bool isRedirect(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 300 && status < 400 && reply->hasRawHeader("Location");
}

} // namespace

TextWebView::TextWebView(QWidget *parent, IWebViewHost &host)
    : m_host(host), m_browser(new QTextBrowser(parent)), m_network(new QNetworkAccessManager(this))
{
    m_browser->setObjectName(QStringLiteral("oWebBrowser"));
    m_browser->setDocument(new PageDocument(m_browser));
    m_browser->document()->documentLayout()->registerHandler(QTextFormat::ImageObject, new NoPicture(m_browser));
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
    m_redirects = 0;
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
    // Every address the page sends the browser on to is judged here, even
    // those the network layer would refuse itself without saying which.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Unpacked here, a small compressed page could grow past the limit unseen.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    m_page.clear();
    // Held back at the limit rather than buffered without end.
    reply->setReadBufferSize(kPageLimit + 1);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kPageLimit)
            cutOff(reply, PageWeight::tooLarge());
        const QByteArray packing = reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (!packing.isEmpty() && packing != "identity")
            cutOff(reply, tr("The page came compressed (%1), which this pane does not show.")
                              .arg(QString::fromLatin1(packing.left(40))));
    });
    connect(reply, &QNetworkReply::readyRead, reply, [this, reply] { take(reply); });
    QTimer::singleShot(kTimeLimitMs, reply, [reply] {
        cutOff(reply, tr("The page did not arrive within %1 seconds.").arg(kTimeLimitMs / 1000));
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fetched(reply); });
}

// The page as it arrives, counted as it comes.
void TextWebView::take(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    m_page += reply->read(kPageLimit + 1 - m_page.size());
    if (m_page.size() > kPageLimit)
        cutOff(reply, PageWeight::tooLarge());
}

void TextWebView::fetched(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    bool ok = reply->error() == QNetworkReply::NoError;
    if (ok) {
        take(reply); // what came with the end is counted too
        ok = m_page.size() <= kPageLimit;
    }
    if (ok && isRedirect(reply)) {
        redirect(reply->url().resolved(QUrl::fromEncoded(reply->rawHeader("Location"))));
        return;
    }
    const QString heavy = ok ? PageWeight::tooHeavy(m_page) : QString();
    if (ok && heavy.isEmpty()) {
        const QUrl where = reply->url();
        m_history[m_current] = where; // after redirects: relative links resolve against it
        display(where, QString::fromUtf8(m_page));
    } else {
        const QString why = ok ? heavy : reply->property(kCutOff).toString();
        m_browser->setPlainText(why.isEmpty() ? reply->errorString() : why);
        ok = false;
    }
    m_page.clear();
    m_host.loadFinished(ok);
}

void TextWebView::redirect(const QUrl &target)
{
    QString why;
    if (++m_redirects > kRedirectLimit)
        why = tr("The page sent the browser on more than %1 times.").arg(kRedirectLimit);
    else if (!m_host.mayOpen(target))
        why = tr("The page sent the browser on to %1, which this pane does not open: %2.")
                  .arg(target.toString(QUrl::RemoveUserInfo).left(200), WebSchemeRule::whyRefused(target));
    if (why.isEmpty()) {
        fetch(target);
        return;
    }
    m_page.clear();
    m_browser->setPlainText(why);
    m_host.loadFinished(false);
}

#include "TextWebView.moc"
