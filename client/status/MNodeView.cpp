#include "MNodeView.h"

#include "CClientHnd.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/MCIFunctions.h"

void OpenNodeView(const QString &nodeKey, bool skipCalendar)
{
    if (!g_frmMain)
        return;
    IMainWindow &main = *g_frmMain;
    QString tag = main.treeNodeTag(nodeKey);
    if (tag.isEmpty())
        tag = QStringLiteral("TOP");
    QString key = nodeKey;
    QString query;
    const auto refreshUsers = [&] {
        if (g_oClientHnd)
            g_oClientHnd->RefreshUserList(false, skipCalendar, query, key);
    };
    if (tag == QLatin1String("GRP")) {
        refreshUsers();
        main.SetSelectUserFunctions(true);
        main.hideWebPage();
    } else if (tag == QLatin1String("RSG")) {
        if (g_oClientHnd)
            g_oClientHnd->refreshResourceList(nodeKey);
        main.SetSelectUserFunctions(false);
        main.hideWebPage();
    } else if (tag == QLatin1String("CTL")) {
        if (g_oClientHnd)
            g_oClientHnd->refreshContactList();
        main.SetSelectUserFunctions(true);
        main.hideWebPage();
    } else if (tag == QLatin1String("SRH")) {
        main.DisplaySearch(true);
        main.SetSelectUserFunctions(true);
        refreshUsers();
    } else if (tag == QLatin1String("NTF")) {
        refreshUsers();
        main.SetSelectUserFunctions(true);
    } else if (tag == QLatin1String("BRH") || tag == QLatin1String("TOP") || tag == QLatin1String("WEB")) {
        if (KeyToId(nodeKey) > 0) {
            if (const CTreeNode *node = FindTreeNode(nodeKey)) {
                if (!node->URL.trimmed().isEmpty())
                    main.displayWebPage(node->URL);
                else
                    main.displayWebText(node->Name);
            }
        }
        main.SetSelectUserFunctions(false);
    }
}
