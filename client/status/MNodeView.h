#pragma once

#include <QString>

// Shows the right-hand view for a node of the navigation tree, by its tag.
// skipCalendar spares a user list's read the in-process calendar check.
void OpenNodeView(const QString &nodeKey, bool skipCalendar = false);
