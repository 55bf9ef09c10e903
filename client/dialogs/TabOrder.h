#pragma once

#include <QList>

class QWidget;

// Sets the order in which Tab walks a window's controls. A control made of
// parts that take the focus themselves (the date-and-time control) is walked
// part by part, in the parts' own order.
class TabOrder
{
public:
    static void set(const QList<QWidget *> &controls);
    // The widgets Tab stops at for the control: itself, or its parts.
    static QList<QWidget *> stops(QWidget *control);
};
