#pragma once

#include <QUrl>

class QWidget;

// What a web view asks of the window that owns it. Every address the view is
// about to open -- typed, followed from a link, reached by a redirect or asked
// for as a new window -- goes through mayOpen first; the view opens it only
// when the answer is true. What a page would fetch for itself (pictures,
// frames, scripts, styles) from anywhere but the web is blocked by the view
// without asking, and named to refused.
class IWebViewHost
{
public:
    virtual ~IWebViewHost() = default;
    virtual bool mayOpen(const QUrl &url) = 0;
    virtual void refused(const QUrl &url) = 0;
    virtual void loadStarted() = 0;
    virtual void loadFinished(bool ok) = 0;
};

// One page view: the web engine's, from a library of its own loaded on the
// first page, or the plain text browser where the engine cannot run.
class IWebView
{
public:
    virtual ~IWebView() = default;
    virtual QWidget *widget() = 0;
    virtual void load(const QUrl &url) = 0;
    virtual QUrl url() const = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;
};

// The engine library's one exported function. The view is a child of parent;
// host outlives it.
using CreateWebView = IWebView *(*)(QWidget *parent, IWebViewHost *host);
inline constexpr char kCreateWebViewSymbol[] = "tessalyCreateWebView";
