#pragma once

#include "foundation/IWebView.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Makes the web pane's view. The web engine lives in a library of its own,
// loaded here on the first page, so starting the program and its list views
// never load it. Where the engine cannot run the pane gets the text browser,
// under the same rule for addresses, and the reason goes to the debug log once.
class WebViewLoader
{
public:
    // Why the engine cannot run in this process, or "" when it can. As root the
    // engine refuses its sandbox and ends the whole program; the program never
    // turns the sandbox off, only whoever starts it can.
    static QString engineBlocker(bool root, const QByteArray &sandboxSwitch);
    static std::unique_ptr<IWebView> create(QWidget *parent, IWebViewHost &host);
    // Whether create() would make the text browser, known without loading
    // the engine: the engine is blocked, or its library is not there.
    static bool textViewComing();
    // The engine library's file; by default next to the program.
    static QString libraryPath();
    static void setLibraryPath(const QString &path);

private:
    static CreateWebView engineFactory(QString &why);
};
