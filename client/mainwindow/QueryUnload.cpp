#include "QueryUnload.h"

QueryUnload::Action QueryUnload::decide(int unloadMode, bool closingDown, bool exitRequested)
{
    if (closingDown)
        return Action::Unload;
    switch (unloadMode) {
    case 0: return Action::RaiseDoExit;
    case 1: return exitRequested ? Action::CloseDown : Action::UnloadToTray;
    default: return Action::HideAndCloseLink;
    }
}

QString QueryUnload::reason(int unloadMode)
{
    switch (unloadMode) {
    case 0: return QStringLiteral("Close down from Control Menu");
    case 1: return QStringLiteral("Close down from Unload Code");
    case 2: return QStringLiteral("Close down from Windows");
    case 3: return QStringLiteral("Close down from Task Manager");
    default: return QString();
    }
}

QString QueryUnload::logLine(int unloadMode, bool closingDown, const QString &windowName)
{
    return reason(unloadMode) + QStringLiteral(", m_fClosingDown = ")
           + (closingDown ? QStringLiteral("True") : QStringLiteral("False")) + QStringLiteral("; ") + windowName
           + QStringLiteral("::QueryUnload");
}
