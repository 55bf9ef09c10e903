#include "DropDownKey.h"

#include <Qt>

DropDownKey::Action DropDownKey::action(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return Accept;
    case Qt::Key_Escape:
        return Dismiss;
    default:
        return None;
    }
}
