#pragma once

#include "foundation/IWebView.h"

#include <QObject>
#include <QRect>
#include <memory>

// The main window's web pane: the picture box oWebPicture holding the page
// view oWebBrowser. The view is made on the first page, so the web engine is
// loaded only then; the text browser, which loads no engine, is made a
// moment after the window first shows, so its page reader waits ready for
// the first page. Every address the view would open passes the scheme rule
// here; mail addresses go to the desktop.
class WebPane : public QObject, public IWebViewHost
{
    Q_OBJECT
public:
    explicit WebPane(QWidget *parent);
    ~WebPane() override;

    QWidget *picture() const { return m_picture; }
    IWebView *view() const { return m_view.get(); }
    void setViewGeometry(const QRect &rect);

    // The pane on "about:blank", hidden; nothing when it is hidden already.
    void hide();
    // The pane shown on the address, or on "about:blank" when the rule refuses it.
    void showAddress(const QString &address);
    // The pane shown on the generated page headed by text; text comes back
    // with the characters a file name cannot hold replaced by "_".
    void showText(QString &text);

    // Where generated pages are written: the program's folder when writable.
    static QString generatedFolder();
    // The generated page's file, written when it does not exist yet.
    static QString generatedPage(QString &text);

    bool mayOpen(const QUrl &url) override;
    void refused(const QUrl &url) override;
    void loadStarted() override { Q_EMIT pageLoadStarted(); }
    void loadFinished(bool ok) override { Q_EMIT pageLoaded(ok); }

Q_SIGNALS:
    void pageLoadStarted();
    void pageLoaded(bool ok);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeView();
    void readyAhead();
    IWebView &shownView();
    void noMailProgram(const QUrl &url);

    QWidget *m_picture;
    std::unique_ptr<IWebView> m_view;
    QRect m_viewRect;
};
