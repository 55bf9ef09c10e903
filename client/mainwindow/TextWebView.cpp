#include "TextWebView.h"

#include "PageSubset.h"
#include "PageWeight.h"
#include "WebSchemeRule.h"
#include "platform/TextLimit.h"

#include <QAbstractTextDocumentLayout>
#include <QFutureWatcher>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QTextObjectInterface>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// What one page may weigh, how long its fetch may take, redirects and all,
// and how many times it may send the browser on. Beyond any of them the fetch
// is cut off, so a server that never ends its page or never answers, or
// sends the browser on slowly, can neither fill the memory nor hold the pane.
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
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            cutOff(m_reply, tr("The page did not arrive within %1 seconds.").arg(kTimeLimitMs / 1000));
    });
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
    m_deadline.stop();
    if (m_reply)
        m_reply->abort();
    if (m_reading) { // what the page would have shown is dropped
        m_reading = false;
        ++m_ticket;
        m_host.loadFinished(false);
    }
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
        if (page.open(QIODevice::ReadOnly)) {
            display(url, page.read(kPageLimit));
        } else {
            m_browser->clear();
            m_host.loadFinished(false);
        }
    } else if (url.scheme() == QLatin1String("about")) {
        m_browser->document()->setBaseUrl(url);
        m_browser->clear();
        m_host.loadFinished(true);
    } else {
        m_deadline.start(kTimeLimitMs);
        fetch(url);
    }
}

// The page is read and rebuilt off the window's thread: on some shapes the
// parser's time grows faster than the page. Only the layout of the pane's
// own bounded form is left to the window.
void TextWebView::display(const QUrl &url, const QByteArray &page)
{
    m_reading = true;
    const int ticket = ++m_ticket;
    auto *reading = new QFutureWatcher<PageSubset>(this);
    connect(reading, &QFutureWatcherBase::finished, this, [this, reading, ticket, url] {
        reading->deleteLater();
        if (ticket == m_ticket)
            displayed(url, reading->result());
    });
    reading->setFuture(QtConcurrent::run([page] { return PageSubset(page); }));
}

// Shows the page in the pane's own form, or why it is not shown.
void TextWebView::displayed(const QUrl &url, const PageSubset &subset)
{
    m_reading = false;
    if (subset.why().isEmpty()) {
        m_browser->document()->setBaseUrl(url);
        m_browser->setHtml(subset.html());
    } else {
        m_browser->setPlainText(subset.why());
    }
    m_host.loadFinished(subset.why().isEmpty());
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
    m_deadline.stop();
    if (ok) {
        m_history[m_current] = reply->url(); // after redirects: relative links resolve against it
        display(reply->url(), m_page);
    } else {
        const QString why = reply->property(kCutOff).toString();
        m_browser->setPlainText(why.isEmpty() ? reply->errorString() : why);
        m_host.loadFinished(false);
    }
    m_page.clear();
}

void TextWebView::redirect(const QUrl &target)
{
    QString why;
    if (++m_redirects > kRedirectLimit)
        why = tr("The page sent the browser on more than %1 times.").arg(kRedirectLimit);
    else if (!m_host.mayOpen(target))
        why = tr("The page sent the browser on to %1, which this pane does not open: %2.")
                  .arg(TextLimit::left(target.toString(QUrl::RemoveUserInfo), 200), WebSchemeRule::whyRefused(target));
    if (why.isEmpty()) {
        fetch(target);
        return;
    }
    m_deadline.stop();
    m_page.clear();
    m_browser->setPlainText(why);
    m_host.loadFinished(false);
}

#include "TextWebView.moc"
