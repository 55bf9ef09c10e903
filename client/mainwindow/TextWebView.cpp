#include "TextWebView.h"

#include "PageReaderProcess.h"
#include "WebSchemeRule.h"
#include "platform/TextLimit.h"
#include "foundation/MErrorHandler.h"
#include "pagereader/PageCharset.h"
#include "pagereader/PageDocument.h"
#include "pagereader/PageWeight.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>

namespace {

// What is read of one page, how long its fetch may take, redirects and all,
// how many times it may send the browser on, and the longest address it may
// send it on to. A server that never ends its page or never answers, or
// sends the browser on slowly, can neither fill the memory nor hold the pane.
constexpr qint64 kPageLimit = PageWeight::ByteLimit;
constexpr int kTimeLimitMs = 30000;
constexpr int kRedirectLimit = 10;
constexpr qsizetype kAddressLimit = 8192;
const char kCutOff[] = "tessalyCutOff";

void cutOff(QNetworkReply *reply, const QString &why)
{
    if (!reply->property(kCutOff).isValid())
        reply->setProperty(kCutOff, why);
    reply->abort();
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// An address as the pane names it: no password, no endless text.
QString shortAddress(const QUrl &url)
{
    const QString address = url.toString(QUrl::RemoveUserInfo);
    return address.size() > 200 ? TextLimit::left(address, 200) + QStringLiteral("...") : address;
}

// Why a page did not come, in the pane's own words: the network layer's
// text may hold the whole address, however long.
QString whyNotLoaded(const QNetworkReply *reply)
{
    const QString why = reply->property(kCutOff).toString();
    if (!why.isEmpty())
        return why;
    const QString address = shortAddress(reply->url());
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return TextWebView::tr("The server of %1 refused the connection.").arg(address);
    case QNetworkReply::HostNotFoundError:
        return TextWebView::tr("The server of %1 was not found.").arg(address);
    case QNetworkReply::RemoteHostClosedError:
        return TextWebView::tr("The server of %1 closed the connection before the page came.").arg(address);
    case QNetworkReply::OperationCanceledError:
        return TextWebView::tr("The page %1 was stopped before it came.").arg(address);
    default:
        break;
    }
    if (statusOf(reply) >= 400)
        return TextWebView::tr("The server answered %1 for %2.").arg(statusOf(reply)).arg(address);
    return TextWebView::tr("The page %1 could not be loaded (network error %2).").arg(address).arg(reply->error());
}

} // namespace

TextWebView::TextWebView(QWidget *parent, IWebViewHost &host)
    : m_host(host), m_browser(new QTextBrowser(parent)), m_network(new QNetworkAccessManager(this)),
      m_reader(new PageReaderProcess(this))
{
    m_browser->setObjectName(QStringLiteral("oWebBrowser"));
    m_browser->setDocument(new PageDocument(m_browser));
    m_browser->setOpenLinks(false);
    // A scroll bar that came and went with the page would narrow the text
    // and lay the page out a second time, past what its reader measured.
    m_browser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The browser resolves a relative link against the address it last opened
    // itself; it opens none (pages arrive as text), so links come as written
    // and are resolved here against the page they are on.
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { load(url().resolved(link)); });
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            cutOff(m_reply, tr("The page did not arrive within %1 seconds.").arg(kTimeLimitMs / 1000));
    });
    connect(m_reader, &PageReaderProcess::formRead, this, [this](const PageReader::Form &form) {
        QString html = form.html;
        if (!form.leftOut.isEmpty() && html.endsWith(QStringLiteral("</body></html>")))
            html.insert(html.size() - 14, QStringLiteral("<p><i>%1</i></p>")
                                              .arg(tr("The rest of the page is left out: %1.")
                                                       .arg(form.leftOut.left(200))
                                                       .toHtmlEscaped()));
        showHtml(m_reading, html);
        m_host.loadFinished(true);
    });
    connect(m_reader, &PageReaderProcess::failed, this, &TextWebView::notShown);
}

TextWebView::~TextWebView()
{
    if (m_reply)
        m_reply->disconnect(); // the host may be going too: no word of the cut load
    m_reader->disconnect(this);
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
    if (m_reader->busy()) { // what the page would have shown is dropped
        m_reader->stop();
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
        if (page.open(QIODevice::ReadOnly))
            display(url, page.read(kPageLimit + 1), {});
        else
            notShown(tr("The page %1 could not be opened.").arg(shortAddress(url)));
    } else if (url.scheme() == QLatin1String("about")) {
        showHtml(url, {});
        m_host.loadFinished(true);
    } else {
        m_deadline.start(kTimeLimitMs);
        fetch(url);
    }
}

// The page is read in a process of its own, which hands back as much of the
// pane's form of it as the window lays out in a fraction of a second.
void TextWebView::display(const QUrl &url, const QByteArray &page, const QByteArray &charset)
{
    m_reading = url;
    m_reader->read(page, charset, qMax(m_browser->viewport()->width(), 100));
}

// The page left is emptied before the address changes: a new base address
// lays out again what the document holds.
void TextWebView::showHtml(const QUrl &url, const QString &html)
{
    m_browser->clear();
    m_browser->document()->setBaseUrl(url);
    if (!html.isEmpty())
        m_browser->setHtml(html);
}

void TextWebView::notShown(const QString &why)
{
    WriteDebugLog(QStringLiteral("Web pane: not shown: ") + why);
    m_browser->setPlainText(why);
    m_host.loadFinished(false);
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
    // Held back past what is read rather than buffered without end.
    reply->setReadBufferSize(kPageLimit + 1);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        const QByteArray packing = reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (!packing.isEmpty() && packing != "identity")
            cutOff(reply, tr("The page came compressed (%1), which this pane does not show.")
                              .arg(QString::fromLatin1(packing.left(40))));
    });
    connect(reply, &QNetworkReply::readyRead, reply, [this, reply] { take(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fetched(reply); });
}

// The page as it arrives, counted as it comes: past what is read of a page
// the fetch ends, and the page is shown as its first part.
void TextWebView::take(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    m_page += reply->read(kPageLimit + 1 - m_page.size());
    if (m_page.size() > kPageLimit && reply->isRunning())
        reply->abort();
}

void TextWebView::fetched(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    take(reply); // what came with the end is counted too
    const bool enough = m_page.size() > kPageLimit && !reply->property(kCutOff).isValid();
    const int status = statusOf(reply);
    if (reply->error() == QNetworkReply::NoError && status >= 300 && status < 400) {
        redirect(reply);
        return;
    }
    m_deadline.stop();
    if (reply->error() == QNetworkReply::NoError || enough) {
        m_history[m_current] = reply->url(); // after redirects: relative links resolve against it
        display(reply->url(), m_page,
                PageCharset::ofContentType(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
    } else {
        notShown(whyNotLoaded(reply));
    }
    m_page.clear();
}

void TextWebView::redirect(QNetworkReply *reply)
{
    const QByteArray location = reply->rawHeader("Location");
    const QUrl target = reply->url().resolved(QUrl::fromEncoded(location.left(kAddressLimit)));
    QString why;
    if (location.isEmpty())
        why = tr("The page sent the browser on without saying where.");
    else if (location.size() > kAddressLimit)
        why = tr("The page sent the browser on to an address of %1 characters, longer than this pane opens.")
                  .arg(location.size());
    else if (++m_redirects > kRedirectLimit)
        why = tr("The page sent the browser on more than %1 times.").arg(kRedirectLimit);
    else if (!m_host.mayOpen(target))
        why = tr("The page sent the browser on to %1, which this pane does not open: %2.")
                  .arg(shortAddress(target), WebSchemeRule::whyRefused(target));
    if (why.isEmpty()) {
        fetch(target);
        return;
    }
    m_deadline.stop();
    m_page.clear();
    notShown(why);
}
