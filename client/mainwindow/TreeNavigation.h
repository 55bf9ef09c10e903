#pragma once

#include <QString>

// Which view a node of the navigation tree opens, by its kind alone.
class TreeNavigation
{
public:
    enum class Action {
        Unchanged,     // the node is already shown: nothing happens
        RecordOnly,    // the contact list: made current, the pane stays
        OpenView,      // the node's view through OpenNodeView
        OpenGroupView, // a group's users, without the calendar check
        WelcomePage,   // the top node shown for the first time: a page headed by its name
        RefreshPage,   // the top node shown again: its page reloaded
    };

    // The node's kind from its tag: upper case, an empty tag counting as "TOP".
    static QString kindOf(const QString &tag);
    // What opening nodeKey of that kind does while currentKey is shown.
    static Action actionFor(const QString &nodeKey, const QString &kind, bool reload, const QString &currentKey);
    // False for the kind whose node leaves the view shown as it was.
    static bool opensView(const QString &kind);
    // What the info bar says over the view of a node of that kind and name:
    // the welcome over the top node's page, the list's name over a list of
    // users, the node's name over anything else.
    static QString infoText(const QString &kind, const QString &nodeName);
    // The info bar's text before any view is shown.
    static QString welcomeText() { return QStringLiteral("Welcome to the Viduruviva Tessaly"); }
};
