#pragma once

#include "foundation/IWebView.h"

#include <QPointer>

class QWebEngineView;

// The web pane's view on the web engine. Built into a library of its own,
// which the program loads on its first page; asks the host before every
// navigation, redirect and new window, and opens new windows in itself.
class EngineWebView final : public IWebView
{
public:
    EngineWebView(QWidget *parent, IWebViewHost &host);
    ~EngineWebView() override;

    QWidget *widget() override;
    void load(const QUrl &url) override;
    QUrl url() const override;
    void back() override;
    void forward() override;
    void stop() override;
    void reload() override;

private:
    QPointer<QWebEngineView> m_view;
};

extern "C" Q_DECL_EXPORT IWebView *tessalyCreateWebView(QWidget *parent, IWebViewHost *host);
