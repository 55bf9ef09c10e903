#include "WebViewLoader.h"

#include "TextWebView.h"
#include "foundation/MErrorHandler.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <unistd.h>

namespace {

QString g_libraryPath;
bool g_fallbackLogged = false;

} // namespace

QString WebViewLoader::engineBlocker(bool root, const QByteArray &sandboxSwitch)
{
    if (root && sandboxSwitch != "1")
        return QStringLiteral("running as root, where the web engine refuses its sandbox "
                              "(QTWEBENGINE_DISABLE_SANDBOX=1 lets it run without)");
    return {};
}

QString WebViewLoader::libraryPath()
{
    if (!g_libraryPath.isEmpty())
        return g_libraryPath;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libtessaly_webview.so");
}

void WebViewLoader::setLibraryPath(const QString &path)
{
    g_libraryPath = path;
}

bool WebViewLoader::textViewComing()
{
    return !engineBlocker(geteuid() == 0, qgetenv("QTWEBENGINE_DISABLE_SANDBOX")).isEmpty()
        || !QFileInfo::exists(libraryPath());
}

CreateWebView WebViewLoader::engineFactory(QString &why)
{
    why = engineBlocker(geteuid() == 0, qgetenv("QTWEBENGINE_DISABLE_SANDBOX"));
    if (!why.isEmpty())
        return nullptr;
    QLibrary library(libraryPath());
    auto factory = reinterpret_cast<CreateWebView>(library.resolve(kCreateWebViewSymbol));
    if (!factory)
        why = library.errorString();
    return factory;
}

std::unique_ptr<IWebView> WebViewLoader::create(QWidget *parent, IWebViewHost &host)
{
    QString why;
    if (CreateWebView factory = engineFactory(why))
        return std::unique_ptr<IWebView>(factory(parent, &host));
    if (!g_fallbackLogged) {
        g_fallbackLogged = true;
        WriteDebugLog(QStringLiteral("Web pane: pages are shown as plain text, the web engine cannot run: ") + why);
    }
    return std::make_unique<TextWebView>(parent, host);
}
