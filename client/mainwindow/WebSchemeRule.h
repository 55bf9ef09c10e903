#pragma once

#include <QString>
#include <QUrl>

// Which addresses the web pane opens. Pages from the web and the program's
// own generated pages open in the pane; mail addresses go to the desktop's
// mail program; everything else (local files, scripts, inline data, other
// schemes) is refused, so a node's address or a page's link cannot reach the
// disk or run script outside a page.
class WebSchemeRule
{
public:
    enum Verdict { Open, Desktop, Refuse };
    // generatedFolder: where the program writes its generated pages.
    static Verdict verdictFor(const QUrl &url, const QString &generatedFolder);
    // Why an address is not opened in the pane, for the user to read.
    static QString whyRefused(const QUrl &url);
};
