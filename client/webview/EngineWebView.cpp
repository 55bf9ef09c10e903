#include "EngineWebView.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>

// Qt GUI's setter of the context that every OpenGL context of the program
// shares with. Exported, and what the engine itself calls when it is linked
// into a program from the start, but not declared in Qt's public headers.
void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace {

QOpenGLContext *g_shareContext = nullptr;

// Let go of it when the application ends, as the engine does with its own.
void dropShareContext()
{
    if (QOpenGLContext::globalShareContext() == g_shareContext)
        qt_gl_set_global_share_context(nullptr);
    delete g_shareContext;
    g_shareContext = nullptr;
}

// The engine draws through contexts that share with that one context; without
// it the first view ends the program. Qt would make it at start-up if told so
// before the application exists, but every start would then pay for an
// OpenGL context (some 40 ms on a software renderer) for a pane most starts
// never show; so it is made here, before the first view, as Qt makes it.
// Where there is no OpenGL (no display) creating it fails, and the engine,
// which still needs the object, draws without it.
void makeShareContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    g_shareContext = new QOpenGLContext;
    g_shareContext->setFormat(QSurfaceFormat::defaultFormat());
    g_shareContext->create();
    qt_gl_set_global_share_context(g_shareContext);
    qAddPostRoutine(dropShareContext);
}

const QString kRefusedLink = QStringLiteral("tessaly: refused link ");

// The engine runs a javascript: link inside the page and drops file: and
// data: links without asking the page, so none of them would reach
// acceptNavigationRequest. This script, in a world of its own, stops a click
// on a link of any scheme but the web's and mail's before the engine acts,
// and names it on the console, where the page below hears it.
QWebEngineScript linkGuard()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("link guard"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(R"((function () {
    const allowed = ['http:', 'https:', 'mailto:', 'about:'];
    function guard(event) {
        const link = event.target instanceof Element ? event.target.closest('a[href], area[href]') : null;
        if (!link || allowed.includes(link.protocol))
            return;
        event.preventDefault();
        event.stopImmediatePropagation();
        console.info('%1' + link.href);
    }
    document.addEventListener('click', guard, true);
    document.addEventListener('auxclick', guard, true);
})();)")
                             .arg(kRefusedLink));
    return script;
}

bool hasScheme(const QUrl &url, std::initializer_list<QStringView> schemes)
{
    return std::find(schemes.begin(), schemes.end(), url.scheme().toLower()) != schemes.end();
}

// acceptNavigationRequest hears only of pages; what a page fetches for itself
// (pictures, frames, scripts, styles, requests from its script) comes here.
// Only the web is fetched from (sockets too): a page cannot reach the disk.
// The top page itself has passed the host already.
class SubresourceGuard : public QWebEngineUrlRequestInterceptor
{
public:
    SubresourceGuard(IWebViewHost &host, QObject *parent) : QWebEngineUrlRequestInterceptor(parent), m_host(host) {}

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
            || hasScheme(info.requestUrl(), {u"http", u"https", u"ws", u"wss"}))
            return;
        info.block(true);
        m_host.refused(info.requestUrl());
    }

private:
    IWebViewHost &m_host;
};

class GuardedPage : public QWebEnginePage
{
public:
    GuardedPage(IWebViewHost &host, QObject *parent) : QWebEnginePage(parent), m_host(host)
    {
        scripts().insert(linkGuard());
        setUrlRequestInterceptor(new SubresourceGuard(host, this));
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override { return m_host.mayOpen(url); }

    // A stopped link goes to the host, which logs the refusal. The page's own
    // script could write the same line, so only schemes the guard stops are
    // passed on.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &) override
    {
        if (!message.startsWith(kRefusedLink))
            return;
        const QUrl url(message.mid(kRefusedLink.size()).left(2048));
        if (!hasScheme(url, {u"http", u"https", u"mailto", u"about"}))
            m_host.refused(url);
    }

private:
    IWebViewHost &m_host;
};

} // namespace

EngineWebView::EngineWebView(QWidget *parent, IWebViewHost &host)
{
    makeShareContext();
    m_view = new QWebEngineView(parent);
    m_view->setObjectName(QStringLiteral("oWebBrowser"));
    auto *page = new GuardedPage(host, m_view);
    m_view->setPage(page);
    QWebEngineView *view = m_view;
    QObject::connect(page, &QWebEnginePage::newWindowRequested, view, [view, &host](QWebEngineNewWindowRequest &request) {
        if (host.mayOpen(request.requestedUrl()))
            view->load(request.requestedUrl());
    });
    QObject::connect(page, &QWebEnginePage::loadStarted, view, [&host] { host.loadStarted(); });
    QObject::connect(page, &QWebEnginePage::loadFinished, view, [&host](bool ok) { host.loadFinished(ok); });
}

EngineWebView::~EngineWebView()
{
    delete m_view;
}

QWidget *EngineWebView::widget()
{
    return m_view;
}

void EngineWebView::load(const QUrl &url)
{
    m_view->load(url);
}

QUrl EngineWebView::url() const
{
    return m_view->url();
}

void EngineWebView::back()
{
    m_view->back();
}

void EngineWebView::forward()
{
    m_view->forward();
}

void EngineWebView::stop()
{
    m_view->stop();
}

void EngineWebView::reload()
{
    m_view->reload();
}

IWebView *tessalyCreateWebView(QWidget *parent, IWebViewHost *host)
{
    return new EngineWebView(parent, *host);
}
