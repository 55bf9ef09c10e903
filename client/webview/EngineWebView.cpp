#include "EngineWebView.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

class GuardedPage : public QWebEnginePage
{
public:
    GuardedPage(IWebViewHost &host, QObject *parent) : QWebEnginePage(parent), m_host(host) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override { return m_host.mayOpen(url); }

private:
    IWebViewHost &m_host;
};

} // namespace

EngineWebView::EngineWebView(QWidget *parent, IWebViewHost &host) : m_view(new QWebEngineView(parent))
{
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
