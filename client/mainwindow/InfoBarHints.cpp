#include "InfoBarHints.h"

#include "ListViewPane.h"
#include "foundation/MCIFunctions.h"

#include <QListView>
#include <QMouseEvent>
#include <QTreeView>

InfoBarHints::InfoBarHints(QWidget *closePicture, QWidget *label, ListViewPane *userList, QObject *parent)
    : QObject(parent), m_closePicture(closePicture), m_label(label), m_list(userList)
{
    closePicture->installEventFilter(this);
    label->installEventFilter(this);
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(userList->detailsView()),
                                    static_cast<QAbstractItemView *>(userList->iconView())}) {
        // Moves without a button pressed reach the list only when tracked.
        view->viewport()->setMouseTracking(true);
        view->viewport()->installEventFilter(this);
    }
}

bool InfoBarHints::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_closePicture && (type == QEvent::Enter || type == QEvent::MouseMove)) {
        say(GetResString(145));
    } else if (watched == m_label && type == QEvent::MouseButtonPress) {
        say(GetResString(146));
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove) {
        for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(m_list->detailsView()),
                                        static_cast<QAbstractItemView *>(m_list->iconView())}) {
            if (watched != view->viewport())
                continue;
            if (type == QEvent::MouseButtonPress)
                say(GetResString(147));
            else
                pointerOverList(view, static_cast<QMouseEvent *>(event)->position().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

void InfoBarHints::pointerOverList(QAbstractItemView *view, const QPoint &at)
{
    const QModelIndex index = view->indexAt(at);
    if (!index.isValid()) {
        const QString node = shownNodeText ? shownNodeText() : QString();
        if (!node.isEmpty())
            say(GetResString(148) + u' ' + node);
        return;
    }
    const QString key = m_list->rowKey(index.row());
    if (key.left(3).compare(QLatin1String("USR"), Qt::CaseInsensitive) == 0 && barVisible && barVisible())
        say(GetUserStatusLine(key));
}

void InfoBarHints::say(const QString &text)
{
    if (show)
        show(text);
}
