#pragma once

#include "foundation/CStatus.h"
#include <QList>
#include <QString>

class CStatus;

// One entry of the tray menu: its caption, its tag (a status code, or "Q" and
// a code for an entry that only opens its sub-menu) and whether it shows.
struct TrayMenuItem
{
    QString caption;
    QString tag;
    bool visible = true;
};

// The tray icon's pop-up menu, without the widget: Restore, the statuses
// (custom ones in the sub-menus of their type), Exit.
class TrayMenu
{
public:
    enum StatusIndex { In = 0, InMore = 1, Out = 2, OutMore = 3, Meeting = 6 };

    TrayMenu();

    // Captions from the string table in the current language.
    void populateMenuStrings();
    // Rebuilds the custom entries of the three sub-menus from the statuses.
    void loadCustomStatusMenus(const QList<CStatus> &statuses);

    QString restoreCaption() const { return m_restore; }
    QString exitCaption() const { return m_exit; }
    const QList<TrayMenuItem> &statusItems() const { return m_status; }
    // The sub-menu that status entry index opens; nullptr for a plain entry.
    const QList<TrayMenuItem> *subMenu(int index) const;

    // The status a click on an entry with that tag sets; empty for an entry
    // that only opens its sub-menu.
    static QString statusForClick(const QString &tag);

private:
    QString m_restore;
    QString m_exit;
    QList<TrayMenuItem> m_status;
    QList<qint32> m_captionIds; // the string id of each status entry's caption
    QList<TrayMenuItem> m_customIn;
    QList<TrayMenuItem> m_customOut;
    QList<TrayMenuItem> m_meeting;
};
