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
