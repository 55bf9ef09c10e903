#include "TabOrder.h"

#include <QWidget>

void TabOrder::set(const QList<QWidget *> &controls)
{
    QList<QWidget *> all;
    for (QWidget *control : controls)
        all += stops(control);
    for (qsizetype i = 1; i < all.size(); ++i)
        QWidget::setTabOrder(all[i - 1], all[i]);
}

QList<QWidget *> TabOrder::stops(QWidget *control)
{
    if (control->focusPolicy() & Qt::TabFocus)
        return {control};
    QList<QWidget *> parts;
    for (QWidget *next = control->nextInFocusChain(); next != control && control->isAncestorOf(next);
         next = next->nextInFocusChain())
        if (next->focusPolicy() & Qt::TabFocus)
            parts << next;
    return parts;
}
