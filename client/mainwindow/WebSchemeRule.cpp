#include "WebSchemeRule.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isGeneratedPage(const QUrl &url, const QString &generatedFolder)
{
    if (!url.isLocalFile() || url.hasQuery() || url.hasFragment() || generatedFolder.isEmpty())
        return false;
    const QFileInfo page(url.toLocalFile());
    return page.suffix() == QLatin1String("html")
           && QDir::cleanPath(page.absolutePath()) == QDir::cleanPath(QFileInfo(generatedFolder).absoluteFilePath());
}

} // namespace

WebSchemeRule::Verdict WebSchemeRule::verdictFor(const QUrl &url, const QString &generatedFolder)
{
    if (!url.isValid())
        return Refuse;
    const QString scheme = url.scheme().toLower();
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
        return Open;
    if (scheme == QLatin1String("about"))
        return url.path() == QLatin1String("blank") && !url.hasQuery() ? Open : Refuse;
    if (scheme == QLatin1String("mailto"))
        return Desktop;
    return isGeneratedPage(url, generatedFolder) ? Open : Refuse;
}

QString WebSchemeRule::whyRefused(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid())
        return QStringLiteral("it is not a valid address");
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return QStringLiteral("it names no server");
    if (scheme == QLatin1String("mailto"))
        return QStringLiteral("mail addresses go to the mail program");
    if (url.isLocalFile())
        return QStringLiteral("the pane opens no file of this computer but its own pages");
    return QStringLiteral("the pane opens only web pages (http and https), not %1 addresses").arg(scheme.left(20));
}
